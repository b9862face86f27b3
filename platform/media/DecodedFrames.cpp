#include "platform/media/DecodedFrames.h"

#include <algorithm>

namespace media {
namespace {

// Between the selector and the screen the queues hold a few frames, which are kept here too
// until they are shown; no more than this when nothing is shown (another video sink).
constexpr size_t kKept = 32;

// The selector's pad that is not the one playing (another video stream) passes nothing on.
bool passesOn(GstPad* pad) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(pad), "active") == nullptr)
        return true;
    gboolean active = TRUE;
    g_object_get(pad, "active", &active, nullptr);
    return active;
}

} // namespace

DecodedFrames::DecodedFrames(GstElement* playbin) : m_playbin(playbin) {
    m_handler = g_signal_connect(playbin, "video-changed", G_CALLBACK(&onVideoChanged), this);
}

DecodedFrames::~DecodedFrames() {
    g_signal_handler_disconnect(m_playbin, m_handler);
    clear();
    if (m_sinkProbe.first)
        gst_pad_remove_probe(m_sinkProbe.first.get(), m_sinkProbe.second);
}

void DecodedFrames::watchSink(GstElement* sink) {
    GstPtr<GstPad> pad(gst_element_get_static_pad(sink, "sink"));
    if (!pad)
        return;
    const gulong id =
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &onShown, this, nullptr);
    m_sinkProbe = {std::move(pad), id};
}

GstPadProbeReturn DecodedFrames::onShown(GstPad*, GstPadProbeInfo* info, gpointer self) {
    if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info))
        static_cast<DecodedFrames*>(self)->shown(GST_BUFFER_PTS(buffer));
    return GST_PAD_PROBE_OK;
}

void DecodedFrames::onVideoChanged(GstElement*, gpointer self) {
    static_cast<DecodedFrames*>(self)->watchStreams();
}

// Each video stream's pad on the selector, watched once. The pads are asked for before the
// lock is taken: the probes take it with the stream's own locks held.
void DecodedFrames::watchStreams() {
    gint count = 0;
    g_object_get(m_playbin, "n-video", &count, nullptr);
    std::vector<GstPtr<GstPad>> pads;
    for (gint i = 0; i < count; ++i) {
        GstPad* raw = nullptr;
        g_signal_emit_by_name(m_playbin, "get-video-pad", i, &raw);
        if (raw != nullptr)
            pads.emplace_back(raw);
    }
    std::lock_guard lock(m_mutex);
    for (GstPtr<GstPad>& pad : pads) {
        const bool watched = std::any_of(m_probes.begin(), m_probes.end(),
                                         [&](const auto& probe) { return probe.first == pad; });
        if (watched)
            continue;
        const gulong id =
            gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, &onBuffer, this, nullptr);
        m_probes.emplace_back(std::move(pad), id);
    }
}

GstPadProbeReturn DecodedFrames::onBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info); buffer && passesOn(pad))
        static_cast<DecodedFrames*>(self)->keep(pad, buffer);
    return GST_PAD_PROBE_OK;
}

void DecodedFrames::keep(GstPad* pad, GstBuffer* buffer) {
    const GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
    if (!caps)
        return;
    GstPtr<GstSample> sample(gst_sample_new(buffer, caps.get(), nullptr, nullptr));
    std::lock_guard lock(m_mutex);
    // A seek starts the count of times again: what came before it is not on screen any more.
    if (!m_frames.empty() &&
        GST_BUFFER_PTS(gst_sample_get_buffer(m_frames.back().get())) >= GST_BUFFER_PTS(buffer))
        m_frames.clear();
    m_frames.push_back(std::move(sample));
    while (m_frames.size() > kKept)
        m_frames.pop_front();
}

GstPtr<GstSample> DecodedFrames::at(GstClockTime pts) const {
    std::lock_guard lock(m_mutex);
    for (auto frame = m_frames.rbegin(); frame != m_frames.rend(); ++frame) {
        const GstClockTime time = GST_BUFFER_PTS(gst_sample_get_buffer(frame->get()));
        if (!GST_CLOCK_TIME_IS_VALID(pts) || !GST_CLOCK_TIME_IS_VALID(time) || time <= pts)
            return GstPtr<GstSample>(gst_sample_ref(frame->get()));
    }
    return nullptr;
}

// Frames before the one on screen are let go, but for the one shown just before it: the
// picture may have been asked for as this one came.
void DecodedFrames::shown(GstClockTime pts) {
    std::lock_guard lock(m_mutex);
    while (m_frames.size() > 2 && GST_BUFFER_PTS(gst_sample_get_buffer(m_frames[2].get())) <= pts)
        m_frames.pop_front();
}

void DecodedFrames::clear() {
    std::lock_guard lock(m_mutex);
    for (auto& [pad, id] : m_probes)
        gst_pad_remove_probe(pad.get(), id);
    m_probes.clear();
    m_frames.clear();
}

} // namespace media
