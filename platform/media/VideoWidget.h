// The native window a video sink draws into, and the full-screen window that takes it in.
#pragma once

#include <QWidget>
#include <functional>

namespace media {

// Qt never paints it: the picture comes from the sink. Qt tells us when it must be redrawn
// and when the widget goes away (its owner may be destroyed before the graph).
class VideoWidget : public QWidget {
public:
    VideoWidget(QWidget* parent, std::function<void()> onExposed,
                std::function<void()> onDestroyed);
    ~VideoWidget() override;
    // The graph is going away first: no more calls back.
    void detach();
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<void()> m_onExposed;
    std::function<void()> m_onDestroyed;
};

// Black top-level window covering a screen; its single child fills it.
class FullScreenWindow : public QWidget {
public:
    explicit FullScreenWindow(std::function<void()> onClosed);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> m_onClosed;
};

} // namespace media
