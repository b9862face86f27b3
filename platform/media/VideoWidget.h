// The widget a graph's video is painted in, and the full-screen window that takes it in.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace media {

class FrameSink;

// Paints the newest frame of its sink, as large as fits with the picture's shape kept, on
// black, and asks the sink for frames of that size. An ordinary widget of the toolkit: keys and
// clicks over it go to the program, and it shows on every window system the toolkit does. Its owner
// may destroy it before the graph goes; it says so.
class VideoWidget : public QWidget {
public:
    // frames: null when another sink shows the picture (the widget then stays black).
    VideoWidget(FrameSink* frames, std::function<void()> onDestroyed);
    ~VideoWidget() override;
    // The graph is going away first: no more frames, no more calls back.
    void detach();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrameSink* m_frames;
    std::function<void()> m_onDestroyed;
};

// Black top-level window covering a screen; its single child fills it.
class FullScreenWindow : public QWidget {
public:
    explicit FullScreenWindow(std::function<void()> onClosed);
    // Keys pressed while the picture covers the screen are the owner's keys.
    void setKeyTarget(QWidget* target) { m_keyTarget = target; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A double-click leaves full screen, as it entered.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onClosed;
    QPointer<QWidget> m_keyTarget;
};

} // namespace media
