// The frames as decoded, before any subtitle is drawn on them: the last few that reached the
// playbin's video selector, kept so that the one on screen can be found again by its time.
#pragma once

#include "platform/media/GstPtr.h"

#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace media {

class DecodedFrames {
public:
    // Watches the video streams the playbin takes from now on. Lives no longer than the
    // playbin, which is in the NULL state by the time this goes.
    explicit DecodedFrames(GstElement* playbin);
    ~DecodedFrames();
    DecodedFrames(const DecodedFrames&) = delete;
    DecodedFrames& operator=(const DecodedFrames&) = delete;

    // The frame kept whose time is pts, or else the latest one before it; null when none.
    GstPtr<GstSample> at(GstClockTime pts) const;
    // The frame of that time is on screen now (any thread).
    void shown(GstClockTime pts);
    // The frames that reach that sink are the ones on screen; for a sink that cannot tell.
    void watchSink(GstElement* sink);
    // Lets go of the frames and the streams (another file is to be read).
    void clear();

private:
    static void onVideoChanged(GstElement* playbin, gpointer self);
    static GstPadProbeReturn onBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn onShown(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void watchStreams();
    void keep(GstPad* pad, GstBuffer* buffer);

    GstElement* m_playbin;
    gulong m_handler = 0;
    mutable std::mutex m_mutex; // frames come on the streaming threads
    std::deque<GstPtr<GstSample>> m_frames;
    std::vector<std::pair<GstPtr<GstPad>, gulong>> m_probes;
    std::pair<GstPtr<GstPad>, gulong> m_sinkProbe;
};

} // namespace media
