#include "platform/media/VideoWidget.h"

#include "platform/media/FrameSink.h"
#include "platform/media/MappedFrame.h"
#include "platform/media/PictureFit.h"
#include "platform/trace/StageMarks.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace media {

VideoWidget::VideoWidget(FrameSink* frames, std::function<void()> onDestroyed)
    : m_frames(frames), m_onDestroyed(std::move(onDestroyed)) {
    // Every pixel is painted each time: nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("lumarestVideo"));
}

VideoWidget::~VideoWidget() {
    if (m_onDestroyed) {
        m_onDestroyed();
    }
}

void VideoWidget::detach() {
    m_frames = nullptr;
    m_onDestroyed = nullptr;
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    GstPtr<GstSample> sample = m_frames != nullptr ? m_frames->latest() : nullptr;
    const MappedFrame frame(sample.get());
    // Each frame is placed by its own shape: one scaled for the size before a resize has the
    // same shape, and fills the new place until frames of the new size come.
    const QRect picture =
        frame.ok() ? fitPicture(size(), frame.size(), frame.parN(), frame.parD()) : QRect();
    for (const QRect& band : QRegion(rect()).subtracted(picture)) {
        painter.fillRect(band, Qt::black);
    }
    if (!picture.isEmpty()) {
        // Smoothed only when scaled: at one picture pixel to a device pixel it stays sharp.
        const QSize devicePixels = (QSizeF(picture.size()) * devicePixelRatioF()).toSize();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, devicePixels != frame.size());
        painter.drawImage(picture, frame.image());
        m_frames->painted();
        trace::MarkStage("first frame");
        // The size the stream's picture fills here, which the frame's may not be yet.
        m_frames->showIn(size(), devicePixelRatioF());
    }
}

FullScreenWindow::FullScreenWindow(std::function<void()> onClosed)
    : QWidget(nullptr, Qt::Window), m_onClosed(std::move(onClosed)) {
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

void FullScreenWindow::keyPressEvent(QKeyEvent* event) {
    if (m_keyTarget)
        QCoreApplication::sendEvent(m_keyTarget, event);
    else
        QWidget::keyPressEvent(event);
}

void FullScreenWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        close();
    }
}

// Closed from outside (window manager, a double-click): the video goes back to its owner.
void FullScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (m_onClosed) {
        m_onClosed();
    }
}

} // namespace media
