#include "platform/media/VideoWindowHost.h"

#include "platform/media/X11Exposure.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace media {

namespace {
constexpr int kSettleMs = 100;
}

VideoWindowHost::VideoWindowHost(Callbacks callbacks) : m_callbacks(std::move(callbacks)) {}

VideoWindowHost::~VideoWindowHost() {
    discard();
}

WId VideoWindowHost::prepare() {
    if (!m_widget) {
        if (!m_parking) {
            m_parking = std::make_unique<QWidget>(nullptr, Qt::Window);
        }
        m_widget = new VideoWidget(m_parking.get(), m_callbacks.exposed, [this] {
            m_window = 0;
            m_callbacks.lost();
        });
        m_widget->setGeometry(m_geometry);
        m_window = m_widget->winId();
        syncNativeGeometry();
    }
    return m_window;
}

void VideoWindowHost::discard() {
    if (m_widget) {
        m_widget->detach();
        delete m_widget.data();
    }
    m_fullScreenWindow.reset();
    m_parking.reset();
    m_window = 0;
    m_fullScreen = false;
}

void VideoWindowHost::setOwner(QWidget* owner) {
    m_owner = owner;
    if (!m_fullScreen) {
        moveInto(owner, m_geometry);
    }
}

void VideoWindowHost::setGeometry(const QRect& rect) {
    m_geometry = rect;
    if (m_widget && !m_fullScreen) {
        m_widget->setGeometry(rect);
        syncNativeGeometry();
    }
}

// Qt sizes the native window of a hidden widget only once the widget is shown (until then
// it keeps a default 160 x 160); the sink draws at the native window's size, so that
// window takes the widget's size at once.
void VideoWindowHost::syncNativeGeometry() {
    if (m_widget && m_widget->testAttribute(Qt::WA_WState_Created)) {
        resizeNativeWindow(m_widget->winId(), m_widget->size());
    }
}

bool VideoWindowHost::isVisible() const {
    return m_widget && m_widget->isVisible();
}

void VideoWindowHost::setFullScreen(bool on) {
    if (!m_widget || on == m_fullScreen) {
        return;
    }
    m_fullScreen = on;
    if (on) {
        m_fullScreenWindow = std::make_unique<FullScreenWindow>([this] { setFullScreen(false); });
        m_fullScreenWindow->setGeometry(fullScreenGeometry());
        moveInto(m_fullScreenWindow.get(), QRect(QPoint(0, 0), fullScreenGeometry().size()));
        m_fullScreenWindow->showFullScreen();
        m_fullScreenWindow->activateWindow();
        m_fullScreenWindow->setFocus(Qt::OtherFocusReason);
        return;
    }
    moveInto(m_owner, m_geometry);
    // This may run inside the full-screen window's own close handler: delete it afterwards.
    m_fullScreenWindow->hide();
    m_fullScreenWindow.release()->deleteLater();
    if (m_owner) {
        m_owner->window()->activateWindow();
    }
}

// A null parent means the parking window, where the widget waits hidden.
void VideoWindowHost::moveInto(QWidget* parent, const QRect& rect) {
    if (!m_widget) {
        return;
    }
    QWidget* target = parent != nullptr ? parent : m_parking.get();
    if (m_widget->parentWidget() != target) {
        m_widget->setParent(target);
    }
    m_widget->setGeometry(rect);
    syncNativeGeometry();
    m_widget->setVisible(parent != nullptr);
    reportWindowIfChanged();
    // A paused or ended picture is drawn once more when the window manager has settled
    // the move; an expose that came before the window was mapped would be lost.
    QTimer::singleShot(kSettleMs, m_widget.data(), m_callbacks.exposed);
}

// Reparenting keeps the X window as a rule; should Qt make a new one, the sink follows.
void VideoWindowHost::reportWindowIfChanged() {
    const WId window = m_widget->winId();
    if (window != m_window) {
        m_window = window;
        m_callbacks.windowChanged(window);
    }
}

QRect VideoWindowHost::fullScreenGeometry() const {
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 640, 480);
}

} // namespace media
