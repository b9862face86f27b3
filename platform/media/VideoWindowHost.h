// Where a graph's video is shown: a widget that waits hidden until the player names its
// owner, is placed there, and moves into a full-screen window and back.
#pragma once

#include "platform/media/VideoWidget.h"

#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

namespace media {

class FrameSink;

class VideoWindowHost {
public:
    // lost: the owner destroyed the widget.
    explicit VideoWindowHost(std::function<void()> lost);
    ~VideoWindowHost();
    VideoWindowHost(const VideoWindowHost&) = delete;
    VideoWindowHost& operator=(const VideoWindowHost&) = delete;

    // Makes the widget, hidden and without an owner, painting the frames of this sink
    // (null: none), which must outlive it or call discard first.
    void prepare(FrameSink* frames);
    // Destroys widget and windows.
    void discard();
    bool exists() const { return !m_widget.isNull(); }
    QWidget* widget() const { return m_widget.data(); }
    // The picture changed: paint it again.
    void repaint();

    // A null owner hides the widget again.
    void setOwner(QWidget* owner);
    QWidget* owner() const { return m_owner.data(); }
    void setGeometry(const QRect& rect);
    QRect geometry() const { return m_geometry; }
    bool isVisible() const;

    void setFullScreen(bool on);
    bool isFullScreen() const { return m_fullScreen; }

private:
    void moveInto(QWidget* parent, const QRect& rect);
    QRect fullScreenGeometry() const;

    std::function<void()> m_lost;
    std::unique_ptr<FullScreenWindow> m_fullScreenWindow;
    QPointer<VideoWidget> m_widget;
    QPointer<QWidget> m_owner;
    QRect m_geometry;
    bool m_fullScreen = false;
};

} // namespace media
