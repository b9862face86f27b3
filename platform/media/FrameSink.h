// The end of a graph's video chain: frames converted to 32-bit RGB and kept for the view that
// paints them. GStreamer draws nothing itself and owns no window, so the picture is painted by
// the toolkit on every window system the toolkit runs on.
#pragma once

#include "platform/media/GstPtr.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>

#include <gst/app/gstappsink.h>

namespace media {

class FrameSink {
public:
    // frameArrived runs on the UI thread after new frames came; frames that arrive before it
    // has run are announced once.
    explicit FrameSink(std::function<void()> frameArrived);
    // The pipeline holding element() must be in the NULL state by now.
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    // Null when the elements cannot be made (plugins missing).
    GstElement* element() const { return m_bin.get(); }
    // The frame to show now (its own reference), or null before the first one.
    GstPtr<GstSample> latest() const;
    // Forgets the frame shown (another file is to be read).
    void clear();
    // How the frames are turned: videoflip's video-direction ("auto" follows the stream's
    // orientation tag).
    void turn(const char* direction);
    // Told the time of each frame as it comes to be shown, on the streaming thread; set
    // before the pipeline runs.
    void setShownNotify(std::function<void(GstClockTime)> shown) { m_shown = std::move(shown); }

private:
    static GstFlowReturn onPreroll(GstAppSink* sink, gpointer self);
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    void keep(GstSample* sample);

    GstPtr<GstElement> m_bin;
    mutable std::mutex m_mutex;
    GstPtr<GstSample> m_latest; // guarded by m_mutex
    std::atomic<bool> m_announced{false};
    std::function<void()> m_frameArrived;
    std::function<void(GstClockTime)> m_shown;
    QObject m_receiver; // lives on the UI thread; calls posted to it die with it
};

} // namespace media
