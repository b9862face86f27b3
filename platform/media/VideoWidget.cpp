#include "platform/media/VideoWidget.h"

#include <QCloseEvent>

namespace media {

VideoWidget::VideoWidget(QWidget* parent, std::function<void()> onExposed,
                         std::function<void()> onDestroyed)
    : QWidget(parent), m_onExposed(std::move(onExposed)), m_onDestroyed(std::move(onDestroyed)) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("lumarestVideo"));
}

VideoWidget::~VideoWidget() {
    if (m_onDestroyed) {
        m_onDestroyed();
    }
}

void VideoWidget::detach() {
    m_onExposed = nullptr;
    m_onDestroyed = nullptr;
}

void VideoWidget::paintEvent(QPaintEvent*) {
    if (m_onExposed) {
        m_onExposed();
    }
}

void VideoWidget::resizeEvent(QResizeEvent*) {
    if (m_onExposed) {
        m_onExposed();
    }
}

FullScreenWindow::FullScreenWindow(std::function<void()> onClosed)
    : QWidget(nullptr, Qt::Window), m_onClosed(std::move(onClosed)) {
    setAttribute(Qt::WA_NativeWindow);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setWindowTitle(QStringLiteral("Lumarest"));
    setFocusPolicy(Qt::StrongFocus);
}

void FullScreenWindow::resizeEvent(QResizeEvent*) {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setGeometry(rect());
    }
}

// Closed from outside (window manager): the video goes back to its owner.
void FullScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_onClosed) {
        m_onClosed();
    }
}

} // namespace media
