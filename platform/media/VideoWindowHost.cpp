#include "platform/media/VideoWindowHost.h"

#include <QGuiApplication>
#include <QScreen>

namespace media {

VideoWindowHost::VideoWindowHost(std::function<void()> lost) : m_lost(std::move(lost)) {}

VideoWindowHost::~VideoWindowHost() {
    discard();
}

void VideoWindowHost::prepare(FrameSink* frames) {
    if (m_widget) {
        return;
    }
    m_widget = new VideoWidget(frames, [this] { m_lost(); });
    m_widget->setGeometry(m_geometry);
}

void VideoWindowHost::discard() {
    if (m_widget) {
        m_widget->detach();
        delete m_widget.data();
    }
    m_fullScreenWindow.reset();
    m_fullScreen = false;
}

void VideoWindowHost::repaint() {
    if (m_widget && m_widget->isVisible()) {
        m_widget->update();
    }
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
        m_fullScreenWindow->setKeyTarget(m_owner);
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

// Without an owner the widget waits hidden, a window of nobody's.
void VideoWindowHost::moveInto(QWidget* parent, const QRect& rect) {
    if (!m_widget) {
        return;
    }
    if (m_widget->parentWidget() != parent) {
        m_widget->setParent(parent);
    }
    m_widget->setGeometry(rect);
    m_widget->setVisible(parent != nullptr);
}

QRect VideoWindowHost::fullScreenGeometry() const {
    QScreen* screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect(0, 0, 640, 480);
}

} // namespace media
