// Where a graph's video is shown: a native child widget that starts parked in a hidden
// window (so the sink has a window from its first frame on), moves into the owner the
// player names, and into a full-screen window and back.
#pragma once

#include "platform/media/VideoWidget.h"

#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

namespace media {

class VideoWindowHost {
public:
    struct Callbacks {
        std::function<void(WId)> windowChanged; // the native window to draw into
        std::function<void()> exposed;          // the picture must be drawn again
        std::function<void()> lost;             // the widget was destroyed by its owner
    };

    explicit VideoWindowHost(Callbacks callbacks);
    ~VideoWindowHost();
    VideoWindowHost(const VideoWindowHost&) = delete;
    VideoWindowHost& operator=(const VideoWindowHost&) = delete;

    // Creates the parked widget (when there is none) and returns its native window.
    WId prepare();
    // Destroys widget and windows; the sink must no longer draw.
    void discard();
    bool exists() const { return !m_widget.isNull(); }
    QWidget* widget() const { return m_widget.data(); }

    // Null owner parks the widget again.
    void setOwner(QWidget* owner);
    QWidget* owner() const { return m_owner.data(); }
    void setGeometry(const QRect& rect);
    QRect geometry() const { return m_geometry; }
    bool isVisible() const;

    void setFullScreen(bool on);
    bool isFullScreen() const { return m_fullScreen; }

private:
    void moveInto(QWidget* parent, const QRect& rect);
    void reportWindowIfChanged();
    void syncNativeGeometry();
    QRect fullScreenGeometry() const;

    Callbacks m_callbacks;
    std::unique_ptr<QWidget> m_parking;
    std::unique_ptr<FullScreenWindow> m_fullScreenWindow;
    QPointer<VideoWidget> m_widget;
    QPointer<QWidget> m_owner;
    QRect m_geometry;
    WId m_window = 0;
    bool m_fullScreen = false;
};

} // namespace media
