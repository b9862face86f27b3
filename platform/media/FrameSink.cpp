#include "platform/media/FrameSink.h"

namespace media {
namespace {

// One byte each of blue, green, red and padding: a QImage of Format_RGB32 on this
// little-endian machine, painted without another conversion.
constexpr const char* kFrameCaps = "video/x-raw, format=(string)BGRx";
// A frame later than this is dropped, as video sinks do, and upstream is told to catch up.
constexpr gint64 kMaxLateness = 20 * GST_MSECOND;

GstElement* makeElement(const char* factory, const char* name) {
    return gst_element_factory_make(factory, name);
}

} // namespace

FrameSink::FrameSink(std::function<void()> frameArrived) : m_frameArrived(std::move(frameArrived)) {
    GstElement* convert = makeElement("videoconvert", nullptr);
    // Turns the picture as its orientation tag says: phones store portrait video and photos
    // lying on their side.
    GstElement* turn = makeElement("videoflip", "turn");
    GstElement* appsink = makeElement("appsink", "frames");
    if (convert == nullptr || turn == nullptr || appsink == nullptr) {
        for (GstElement* element : {convert, turn, appsink}) {
            if (element != nullptr) {
                gst_object_unref(gst_object_ref_sink(element));
            }
        }
        return;
    }
    gst_util_set_object_arg(G_OBJECT(turn), "video-direction", "auto");
    GstPtr<GstCaps> caps(gst_caps_from_string(kFrameCaps));
    g_object_set(appsink, "caps", caps.get(), "sync", TRUE, "qos", TRUE, "max-lateness",
                 kMaxLateness, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = &FrameSink::onPreroll;
    callbacks.new_sample = &FrameSink::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink), &callbacks, this, nullptr);

    GstElement* bin = gst_bin_new("lumarest-frames");
    gst_bin_add_many(GST_BIN(bin), convert, turn, appsink, nullptr);
    gst_element_link_many(convert, turn, appsink, nullptr);
    GstPtr<GstPad> input(gst_element_get_static_pad(convert, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", input.get()));
    m_bin.reset(GST_ELEMENT(gst_object_ref_sink(bin)));
}

FrameSink::~FrameSink() {
    if (m_bin) {
        if (GstPtr<GstElement> appsink{gst_bin_get_by_name(GST_BIN(m_bin.get()), "frames")}) {
            GstAppSinkCallbacks none{};
            gst_app_sink_set_callbacks(GST_APP_SINK(appsink.get()), &none, nullptr, nullptr);
        }
    }
}

GstPtr<GstSample> FrameSink::latest() const {
    std::lock_guard lock(m_mutex);
    return GstPtr<GstSample>(m_latest ? gst_sample_ref(m_latest.get()) : nullptr);
}

void FrameSink::clear() {
    std::lock_guard lock(m_mutex);
    m_latest.reset();
}

void FrameSink::turn(const char* direction) {
    if (!m_bin) {
        return;
    }
    if (GstPtr<GstElement> flip{gst_bin_get_by_name(GST_BIN(m_bin.get()), "turn")}) {
        gst_util_set_object_arg(G_OBJECT(flip.get()), "video-direction", direction);
    }
}

// The first frame after a start or a seek comes as the preroll: it is shown at once, so a
// paused or still picture is on screen without waiting for the graph to run.
GstFlowReturn FrameSink::onPreroll(GstAppSink* sink, gpointer self) {
    static_cast<FrameSink*>(self)->keep(gst_app_sink_pull_preroll(sink));
    return GST_FLOW_OK;
}

GstFlowReturn FrameSink::onSample(GstAppSink* sink, gpointer self) {
    static_cast<FrameSink*>(self)->keep(gst_app_sink_pull_sample(sink));
    return GST_FLOW_OK;
}

// Streaming thread. Only the newest frame is kept; the view paints whatever is newest when it
// gets to it, so a slow paint skips frames instead of queueing them.
void FrameSink::keep(GstSample* sample) {
    if (sample == nullptr) {
        return;
    }
    const GstClockTime pts = GST_BUFFER_PTS(gst_sample_get_buffer(sample));
    {
        std::lock_guard lock(m_mutex);
        m_latest.reset(sample);
    }
    if (m_shown) {
        m_shown(pts);
    }
    if (!m_announced.exchange(true)) {
        QMetaObject::invokeMethod(
            &m_receiver,
            [this] {
                m_announced = false;
                if (m_frameArrived) {
                    m_frameArrived();
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace media
