// The graph's pace: the rate every seek carries (the sound stretched to it at its own
// pitch), and stepping through the pictures one frame at a time while paused.
#include "platform/media/PlaybinGraph.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace media {
namespace {

// When the stream says no frame rate: a common one.
constexpr gint64 kDefaultFrameNs = GST_SECOND / 25;

} // namespace
// Without the filter the sound would rise and fall in pitch with the rate; a system that
// lacks it still plays at the rate.
void PlaybinGraph::useTempoFilter() {
    if (GstElement* tempo = gst_element_factory_make("scaletempo", nullptr)) {
        g_object_set(m_playbin.get(), "audio-filter", tempo, nullptr);
    }
}

bool PlaybinGraph::seek(gint64 start, GstSeekType startType, gint64 end, GstSeekType endType) {
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    GstEvent* event =
        gst_event_new_seek(m_rate, GST_FORMAT_TIME, flags, startType, start, endType, end);
    const guint32 seqnum = gst_event_get_seqnum(event);
    if (!gst_element_send_event(m_playbin.get(), event)) {
        return false;
    }
    if (m_bus) {
        m_bus->seeked(seqnum);
    }
    return true;
}

HRESULT PlaybinGraph::SetRate(double rate) {
    if (!std::isfinite(rate) || rate <= 0.0) {
        return E_INVALIDARG;
    }
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    if (rate == m_rate) {
        return S_OK;
    }
    const double before = std::exchange(m_rate, rate);
    if (m_durationNs.value_or(0) <= 0) {
        return S_OK; // a still picture has no pace to change
    }
    if (!seekHere()) {
        m_rate = before;
        return E_FAIL;
    }
    return S_OK;
}

bool PlaybinGraph::seekHere() {
    LONGLONG position = 0;
    GetCurrentPosition(&position);
    return seek(position * 100, GST_SEEK_TYPE_SET, -1, GST_SEEK_TYPE_NONE);
}

HRESULT PlaybinGraph::GetRate(double* rate) {
    if (rate == nullptr) {
        return E_POINTER;
    }
    *rate = m_rate;
    return S_OK;
}

// On: the video sink shows the next frame. Back: a seek one frame's time before where the
// medium is, the nearest frame the decoder can reach from its key frames.
HRESULT PlaybinGraph::StepFrame(bool forward) {
    if (!m_rendered || !m_facts.hasVideo() || m_durationNs.value_or(0) <= 0) {
        return E_UNEXPECTED;
    }
    if (forward) {
        GstElement* sink = nullptr;
        g_object_get(m_playbin.get(), "video-sink", &sink, nullptr);
        GstElement* target = sink != nullptr ? sink : m_playbin.get();
        const bool sent = gst_element_send_event(
            target, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
        if (sink != nullptr) {
            gst_object_unref(sink);
        }
        return sent ? S_OK : E_FAIL;
    }
    const gint64 frame =
        m_facts.framerateNum > 0
            ? gst_util_uint64_scale(GST_SECOND, m_facts.framerateDen, m_facts.framerateNum)
            : kDefaultFrameNs;
    LONGLONG position = 0;
    GetCurrentPosition(&position);
    const gint64 target = std::max<gint64>(0, position * 100 - frame);
    if (!seek(target, GST_SEEK_TYPE_SET, -1, GST_SEEK_TYPE_NONE)) {
        return E_FAIL;
    }
    m_ended = false;
    m_lastPositionNs = target;
    return S_OK;
}

} // namespace media
