// The end of a graph's video chain: frames converted to 32-bit RGB and kept for the view that
// paints them. GStreamer draws nothing itself and owns no window, so the picture is painted by
// the toolkit on every window system the toolkit runs on.
//
// A moving picture is converted and scaled in one step to the size it is shown at, on the
// streaming threads, so that painting it is a copy: a 4K frame converted whole and then
// scaled down by the painter costs several times more. A still picture keeps its own size,
// for a sharp picture at any size the window takes later.
#pragma once

#include "platform/media/GstPtr.h"

#include <QObject>
#include <QSize>
#include <QString>
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
    // Forgets the frame shown and goes back to frames at their own size (another file is to
    // be read).
    void clear();
    // Whether frames may be scaled to the size shown (not for a still picture).
    void scaleToShown(bool scale);
    // The picture is shown as large as it fits in area (logical pixels, devicePixelRatio
    // device pixels each) with its shape kept: the frames come at that size from the next one
    // on, if scaling is on. The shape is the stream's as it is now, read with the size asked
    // for in one step, so that a picture turned meanwhile is never asked for at its former
    // shape.
    void showIn(QSize area, double devicePixelRatio);
    // The view painted the newest frame (UI thread). Frames are counted as shown once painted, and
    // as dropped when the sink gave them up late or a slow paint passed over them; with
    // LUMAREST_FRAME_LOG naming a file, the two figures are written to it once a second
    // ("shown N dropped M"), for the benchmarks that set players side by side.
    void painted();
    // How the frames are turned: videoflip's video-direction ("auto" follows the stream's
    // orientation tag).
    void turn(const char* direction);
    // Told the time of each frame as it comes to be shown, on the streaming thread; set
    // before the pipeline runs.
    void setShownNotify(std::function<void(GstClockTime)> shown) { m_shown = std::move(shown); }

private:
    // The picture as the stream gives it, turned as it is shown: its size in pixels and its
    // pixels' aspect; an empty size before the first frame.
    struct Shape {
        QSize size;
        int parN = 1;
        int parD = 1;
    };
    static GstPadProbeReturn onCaps(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static bool fitsShape(GstSample* sample, const Shape& shape);
    void writeFrameLog() const;
    void askFor(QSize size); // m_mutex held
    static GstFlowReturn onPreroll(GstAppSink* sink, gpointer self);
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    void keep(GstSample* sample);

    GstPtr<GstElement> m_bin;
    mutable std::mutex m_mutex;
    GstPtr<GstSample> m_latest;   // guarded by m_mutex
    Shape m_shape;                // guarded by m_mutex
    GstElement* m_size = nullptr; // the caps filter that sets the frames' size, in m_bin
    bool m_scale = false;         // guarded by m_mutex
    QSize m_asked;                // guarded by m_mutex: the size the caps filter asks for
    quint64 m_lastPainted = 0;    // UI thread: the number of the frame painted last
    quint64 m_painted = 0;        // UI thread
    std::atomic<quint64> m_kept{0};
    QString m_frameLog;
    std::atomic<bool> m_announced{false};
    std::function<void()> m_frameArrived;
    std::function<void(GstClockTime)> m_shown;
    QObject m_receiver; // lives on the UI thread; calls posted to it die with it
};

} // namespace media
