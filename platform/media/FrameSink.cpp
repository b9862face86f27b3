#include "platform/media/FrameSink.h"

#include "platform/media/PictureFit.h"

#include <QFile>
#include <QTimer>

#include <gst/video/video.h>

#include <algorithm>
#include <cmath>

namespace media {
namespace {

// One byte each of blue, green, red and padding: a QImage of Format_RGB32 on this
// little-endian machine, painted without another conversion.
constexpr const char* kFrameCaps = "video/x-raw, format=(string)BGRx";
// A frame later than this is dropped, as video sinks do, and upstream is told to catch up.
constexpr gint64 kMaxLateness = 20 * GST_MSECOND;
// Larger than any screen: a size beyond it is not asked for.
constexpr int kLargestShown = 16384;

GstElement* makeElement(const char* factory, const char* name) {
    return gst_element_factory_make(factory, name);
}

} // namespace

// Before the turn, frames are converted only when the turn cannot take them as decoded (it
// passes them on untouched otherwise); the scaler then converts and scales in one pass, on
// as many threads as the machine has cores. GStreamer before 1.22 scales in videoscale,
// which converts nothing: the first converter then gives it RGB.
FrameSink::FrameSink(std::function<void()> frameArrived) : m_frameArrived(std::move(frameArrived)) {
    GstElement* convert = makeElement("videoconvert", nullptr);
    // Turns the picture as its orientation tag says: phones store portrait video and photos
    // lying on their side.
    GstElement* turn = makeElement("videoflip", "turn");
    GstElement* scale = makeElement("videoconvertscale", "scale");
    if (scale == nullptr)
        scale = makeElement("videoscale", "scale");
    GstElement* size = makeElement("capsfilter", "size");
    GstElement* appsink = makeElement("appsink", "frames");
    if (convert == nullptr || turn == nullptr || scale == nullptr || size == nullptr ||
        appsink == nullptr) {
        for (GstElement* element : {convert, turn, scale, size, appsink}) {
            if (element != nullptr) {
                gst_object_unref(gst_object_ref_sink(element));
            }
        }
        return;
    }
    gst_util_set_object_arg(G_OBJECT(turn), "video-direction", "auto");
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(scale), "n-threads"))
        g_object_set(scale, "n-threads", std::max(1u, g_get_num_processors()), nullptr);
    GstPtr<GstCaps> caps(gst_caps_from_string(kFrameCaps));
    g_object_set(size, "caps", caps.get(), nullptr);
    g_object_set(appsink, "caps", caps.get(), "sync", TRUE, "qos", TRUE, "max-lateness",
                 kMaxLateness, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = &FrameSink::onPreroll;
    callbacks.new_sample = &FrameSink::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(appsink), &callbacks, this, nullptr);

    GstElement* bin = gst_bin_new("lumarest-frames");
    gst_bin_add_many(GST_BIN(bin), convert, turn, scale, size, appsink, nullptr);
    gst_element_link_many(convert, turn, scale, size, appsink, nullptr);
    GstPtr<GstPad> input(gst_element_get_static_pad(convert, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", input.get()));
    GstPtr<GstPad> turned(gst_element_get_static_pad(scale, "sink"));
    gst_pad_add_probe(turned.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &FrameSink::onCaps, this,
                      nullptr);
    m_size = size;
    m_bin.reset(GST_ELEMENT(gst_object_ref_sink(bin)));
    m_frameLog = qEnvironmentVariable("LUMAREST_FRAME_LOG");
    if (!m_frameLog.isEmpty()) {
        auto* timer = new QTimer(&m_receiver); // owned by the receiver
        QObject::connect(timer, &QTimer::timeout, [this] { writeFrameLog(); });
        timer->start(1000);
    }
}

void FrameSink::painted() {
    if (const quint64 newest = m_kept; newest != m_lastPainted) {
        m_lastPainted = newest;
        ++m_painted;
    }
}

void FrameSink::writeFrameLog() const {
    guint64 dropped = 0;
    if (GstPtr<GstElement> appsink{gst_bin_get_by_name(GST_BIN(m_bin.get()), "frames")}) {
        GstStructure* stats = nullptr;
        g_object_get(appsink.get(), "stats", &stats, nullptr);
        if (stats != nullptr) {
            gst_structure_get_uint64(stats, "dropped", &dropped);
            gst_structure_free(stats);
        }
    }
    const quint64 passedOver = m_kept > m_painted ? m_kept - m_painted : 0;
    QFile log(m_frameLog);
    if (log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        log.write(QStringLiteral("shown %1 dropped %2\n")
                      .arg(m_painted)
                      .arg(dropped + passedOver)
                      .toUtf8());
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
    m_shape = {};
    m_scale = false;
    askFor({});
}

void FrameSink::scaleToShown(bool scale) {
    std::lock_guard lock(m_mutex);
    m_scale = scale;
    if (!scale)
        askFor({});
}

void FrameSink::showIn(QSize area, double devicePixelRatio) {
    std::lock_guard lock(m_mutex);
    if (!m_scale || m_shape.size.isEmpty())
        return;
    const QRect place = fitPicture(area, m_shape.size, m_shape.parN, m_shape.parD);
    const QSize devicePixels = (QSizeF(place.size()) * devicePixelRatio).toSize();
    if (!devicePixels.isEmpty() && devicePixels.width() <= kLargestShown &&
        devicePixels.height() <= kLargestShown)
        askFor(devicePixels);
}

// m_mutex held. The caps filter tells the scaler upstream; the frames take the new size
// from the next one on.
void FrameSink::askFor(QSize size) {
    if (m_size == nullptr || size == m_asked)
        return;
    m_asked = size;
    GstPtr<GstCaps> caps(gst_caps_from_string(kFrameCaps));
    if (!size.isEmpty())
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT,
                            size.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    g_object_set(m_size, "caps", caps.get(), nullptr);
}

// Whether a frame has the shape of the picture (as wide for its height, to a pixel or two);
// true while no shape is known.
bool FrameSink::fitsShape(GstSample* sample, const Shape& shape) {
    GstVideoInfo video;
    GstCaps* caps = gst_sample_get_caps(sample);
    if (shape.size.isEmpty() || caps == nullptr || !gst_video_info_from_caps(&video, caps))
        return true;
    const double height = GST_VIDEO_INFO_HEIGHT(&video);
    const double parN = std::max(1, GST_VIDEO_INFO_PAR_N(&video));
    const double parD = std::max(1, GST_VIDEO_INFO_PAR_D(&video));
    const double shapeAspect =
        double(shape.size.width()) * shape.parN / (double(shape.size.height()) * shape.parD);
    const double wanted = height * shapeAspect * parD / parN;
    return std::abs(GST_VIDEO_INFO_WIDTH(&video) - wanted) <= std::max(2.0, wanted / 50);
}

// Streaming thread: the picture's shape as it comes to the scaler. When it changes (the
// picture turned by a tag that came after its first frames, or a stream that changed its
// size), a size asked for the former shape would squeeze the picture: the frames come at
// their own size again until the view asks anew.
GstPadProbeReturn FrameSink::onCaps(GstPad*, GstPadProbeInfo* info, gpointer self) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    GstVideoInfo video;
    if (caps == nullptr || !gst_video_info_from_caps(&video, caps))
        return GST_PAD_PROBE_OK;
    auto* sink = static_cast<FrameSink*>(self);
    const Shape next{QSize(GST_VIDEO_INFO_WIDTH(&video), GST_VIDEO_INFO_HEIGHT(&video)),
                     std::max(1, GST_VIDEO_INFO_PAR_N(&video)),
                     std::max(1, GST_VIDEO_INFO_PAR_D(&video))};
    std::lock_guard lock(sink->m_mutex);
    const Shape& former = sink->m_shape;
    if (next.size != former.size || next.parN * former.parD != former.parN * next.parD)
        sink->askFor({});
    sink->m_shape = next;
    return GST_PAD_PROBE_OK;
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
        // A frame the scaler made for the picture's former shape (turned by a tag that came
        // late) would show boxed in or squeezed: the frame before it stays on screen instead.
        if (!fitsShape(sample, m_shape)) {
            gst_sample_unref(sample);
            return;
        }
        m_latest.reset(sample);
    }
    ++m_kept;
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
