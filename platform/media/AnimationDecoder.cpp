#include "platform/media/AnimationDecoder.h"

#include "platform/media/AnimationReader.h"
#include "platform/media/GstPtr.h"
#include "platform/media/PictureSizeLimit.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace media {
namespace {

// GIF of any kind (one frame stays a still), and the animated kinds of PNG and WebP that the
// program's type finders tell from the still ones.
constexpr const char* kSinkCaps = "image/gif; image/apng; image/webp, animated=(boolean)true";
constexpr const char* kSrcCaps = "video/x-raw, format=(string)RGBA";
// No animation file is larger; anything larger is not read whole into memory.
constexpr gint64 kLargestFile = 256 * 1024 * 1024;
constexpr int kBytesPerPixel = 4;

// What the streaming task works on. Outside the task it is touched only while the task is
// stopped, or under the source pad's stream lock (a seek).
struct Stream {
    QByteArray data; // the file, gathered before the first frame
    std::unique_ptr<AnimationReader> reader;
    QSize size;
    AnimationLength length;
    int plays = 1;      // 0: without end
    int passesDone = 0; // of the passes the file asks for
    QImage pending;     // a frame read ahead by a seek, shown next
    int pendingDelay = 0;
    GstClockTime nextTime = 0;
    GstSegment segment{};
    guint32 seqnum = 0;
    bool started = false; // stream start and caps sent
    bool segmentDue = true;
    std::atomic<bool> seekable{false};
    std::atomic<bool> loopsForever{false};

    bool still() const { return length.frames <= 1; }
    GstClockTime passTime() const { return GstClockTime(length.passMs) * GST_MSECOND; }
    GstClockTime totalTime() const { return passTime() * GstClockTime(plays == 0 ? 1 : plays); }
};

struct AnimationDecoder {
    GstElement parent;
    GstPad* sink;
    GstPad* src;
    Stream stream;
};

struct AnimationDecoderClass {
    GstElementClass parent;
};

GType animationDecoderType();
GstElementClass* parentClass = nullptr;

AnimationDecoder* decoderOf(gpointer object) {
    return reinterpret_cast<AnimationDecoder*>(object);
}

void restartStream(Stream& stream) {
    stream.~Stream();
    new (&stream) Stream();
    gst_segment_init(&stream.segment, GST_FORMAT_TIME);
}

bool openReader(Stream& stream) {
    stream.reader = openAnimation(stream.data);
    if (!stream.reader) {
        return false;
    }
    stream.size = stream.reader->size();
    const auto bytes = guint64(std::max(stream.size.width(), 0)) *
                       guint64(std::max(stream.size.height(), 0)) * kBytesPerPixel;
    if (bytes == 0 || bytes > kMaxPictureBytes) {
        return false;
    }
    stream.length = measureAnimation(*stream.reader);
    stream.plays = stream.reader->plays();
    stream.loopsForever = !stream.still() && stream.plays == 0;
    stream.segment.duration = stream.still() ? GST_CLOCK_TIME_NONE : stream.totalTime();
    stream.seekable = !stream.still();
    return stream.length.frames > 0;
}

// The next frame to show, going on into the next pass when the file asks for one.
bool nextFrame(Stream& stream, QImage& frame, int& delayMs) {
    if (!stream.pending.isNull()) {
        frame = std::exchange(stream.pending, QImage());
        delayMs = stream.pendingDelay;
        return true;
    }
    if (stream.reader->next(frame, delayMs)) {
        delayMs = shownDelay(delayMs);
        return true;
    }
    ++stream.passesDone;
    if (stream.still() || stream.plays == 0 || stream.passesDone >= stream.plays) {
        return false;
    }
    stream.reader->rewind();
    const bool read = stream.reader->next(frame, delayMs);
    delayMs = shownDelay(delayMs);
    return read;
}

GstBuffer* frameBuffer(const Stream& stream, const QImage& frame) {
    // Every frame fills the canvas; a smaller one is padded with transparent pixels.
    const QImage picture =
        frame.size() == stream.size
            ? frame.convertToFormat(QImage::Format_RGBA8888)
            : frame.copy(QRect(QPoint(), stream.size)).convertToFormat(QImage::Format_RGBA8888);
    const gsize row = gsize(stream.size.width()) * kBytesPerPixel;
    GstBuffer* buffer =
        gst_buffer_new_allocate(nullptr, row * gsize(stream.size.height()), nullptr);
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        for (int y = 0; y < stream.size.height(); ++y) {
            std::memcpy(map.data + row * gsize(y), picture.constScanLine(y), row);
        }
        gst_buffer_unmap(buffer, &map);
    }
    return buffer;
}

void sendStart(AnimationDecoder* self) {
    Stream& stream = self->stream;
    GstPtr<gchar> id(gst_pad_create_stream_id(self->src, GST_ELEMENT(self), nullptr));
    GstEvent* start = gst_event_new_stream_start(id.get());
    gst_event_set_group_id(start, gst_util_group_id_next());
    gst_pad_push_event(self->src, start);
    GstPtr<GstCaps> caps(gst_caps_new_simple(
        "video/x-raw", "format", G_TYPE_STRING, "RGBA", "width", G_TYPE_INT, stream.size.width(),
        "height", G_TYPE_INT, stream.size.height(), "framerate", GST_TYPE_FRACTION, 0, 1,
        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr));
    gst_pad_push_event(self->src, gst_event_new_caps(caps.get()));
    stream.started = true;
}

void endStream(AnimationDecoder* self) {
    GstEvent* end = gst_event_new_eos();
    if (self->stream.seqnum != 0) {
        gst_event_set_seqnum(end, self->stream.seqnum);
    }
    gst_pad_push_event(self->src, end);
    gst_pad_pause_task(self->src);
}

void fail(AnimationDecoder* self) {
    GST_ELEMENT_ERROR(self, STREAM, DECODE, (nullptr), ("the animation cannot be read"));
    gst_pad_pause_task(self->src);
}

// The streaming task: one frame each turn, timed as the file says.
void streamLoop(gpointer data) {
    AnimationDecoder* self = decoderOf(data);
    Stream& stream = self->stream;
    if (!stream.reader) {
        if (!openReader(stream)) {
            fail(self);
            return;
        }
    }
    if (!stream.started) {
        sendStart(self);
    }
    if (stream.segmentDue) {
        GstEvent* segment = gst_event_new_segment(&stream.segment);
        if (stream.seqnum != 0) {
            gst_event_set_seqnum(segment, stream.seqnum);
        }
        gst_pad_push_event(self->src, segment);
        stream.segmentDue = false;
    }
    QImage frame;
    int delayMs = 0;
    if (!nextFrame(stream, frame, delayMs)) {
        endStream(self);
        return;
    }
    GstBuffer* buffer = frameBuffer(stream, frame);
    GST_BUFFER_PTS(buffer) = stream.nextTime;
    GST_BUFFER_DURATION(buffer) =
        stream.still() ? GST_CLOCK_TIME_NONE : GstClockTime(delayMs) * GST_MSECOND;
    stream.nextTime += GstClockTime(delayMs) * GST_MSECOND;
    const GstFlowReturn flow = gst_pad_push(self->src, buffer);
    if (flow == GST_FLOW_OK) {
        return;
    }
    if (flow == GST_FLOW_EOS) {
        endStream(self);
    } else if (flow == GST_FLOW_NOT_LINKED || flow < GST_FLOW_EOS) {
        GST_ELEMENT_FLOW_ERROR(self, flow);
        endStream(self);
    } else {
        gst_pad_pause_task(self->src); // flushing: a seek or a stop
    }
}

// The frame showing at target is read ahead; the frames before it are passed over.
void positionAt(Stream& stream, GstClockTime target) {
    stream.reader->rewind();
    stream.pending = QImage();
    const GstClockTime pass = stream.passTime();
    stream.passesDone = pass > 0 ? int(target / pass) : 0;
    GstClockTime at = pass * GstClockTime(stream.passesDone);
    if (stream.plays != 0 && stream.passesDone >= stream.plays) {
        stream.nextTime = at;
        return; // past the end: the stream ends at once
    }
    QImage frame;
    int delayMs = 0;
    while (stream.reader->next(frame, delayMs)) {
        const GstClockTime shown = GstClockTime(shownDelay(delayMs)) * GST_MSECOND;
        if (at + shown > target) {
            stream.pending = frame;
            stream.pendingDelay = shownDelay(delayMs);
            break;
        }
        at += shown;
    }
    stream.nextTime = at;
}

gboolean seek(AnimationDecoder* self, GstEvent* event) {
    Stream& stream = self->stream;
    gdouble rate = 1.0;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType = GST_SEEK_TYPE_NONE;
    GstSeekType stopType = GST_SEEK_TYPE_NONE;
    gint64 start = 0;
    gint64 stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    if (format != GST_FORMAT_TIME || rate <= 0.0 || !stream.seekable) {
        return FALSE;
    }
    const guint32 seqnum = gst_event_get_seqnum(event);
    const bool flush = (flags & GST_SEEK_FLAG_FLUSH) != 0;
    if (flush) {
        GstEvent* flushStart = gst_event_new_flush_start();
        gst_event_set_seqnum(flushStart, seqnum);
        gst_pad_push_event(self->src, flushStart);
    } else {
        gst_pad_pause_task(self->src);
    }
    GST_PAD_STREAM_LOCK(self->src);
    GstSegment segment = stream.segment;
    gst_segment_do_seek(&segment, rate, format, flags, startType, guint64(start), stopType,
                        guint64(stop), nullptr);
    if (flush) {
        GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
        gst_event_set_seqnum(flushStop, seqnum);
        gst_pad_push_event(self->src, flushStop);
    }
    stream.segment = segment;
    stream.seqnum = seqnum;
    stream.segmentDue = true;
    positionAt(stream, segment.start);
    gst_pad_start_task(self->src, streamLoop, self, nullptr);
    GST_PAD_STREAM_UNLOCK(self->src);
    return TRUE;
}

gboolean srcEvent(GstPad* pad, GstObject* parent, GstEvent* event) {
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) {
        const gboolean done = seek(decoderOf(parent), event);
        gst_event_unref(event);
        return done;
    }
    return gst_pad_event_default(pad, parent, event);
}

gboolean srcQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    const Stream& stream = decoderOf(parent)->stream;
    GstFormat format = GST_FORMAT_UNDEFINED;
    switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_DURATION:
        gst_query_parse_duration(query, &format, nullptr);
        // A still has no length; neither has an animation before it is read.
        if (format != GST_FORMAT_TIME || !stream.seekable) {
            return FALSE;
        }
        gst_query_set_duration(query, GST_FORMAT_TIME, gint64(stream.totalTime()));
        return TRUE;
    case GST_QUERY_SEEKING:
        gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
        if (format != GST_FORMAT_TIME) {
            return FALSE;
        }
        gst_query_set_seeking(query, GST_FORMAT_TIME, stream.seekable, 0,
                              stream.seekable ? gint64(stream.totalTime()) : -1);
        return TRUE;
    default:
        return gst_pad_query_default(pad, parent, query);
    }
}

gboolean srcActivateMode(GstPad* pad, GstObject*, GstPadMode mode, gboolean active) {
    if (mode != GST_PAD_MODE_PUSH) {
        return FALSE;
    }
    return active ? TRUE : gst_pad_stop_task(pad);
}

GstFlowReturn sinkChain(GstPad*, GstObject* parent, GstBuffer* buffer) {
    Stream& stream = decoderOf(parent)->stream;
    const bool fits = stream.data.size() + gint64(gst_buffer_get_size(buffer)) <= kLargestFile;
    GstMapInfo map;
    if (fits && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        stream.data.append(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
        gst_buffer_unmap(buffer, &map);
    }
    gst_buffer_unref(buffer);
    if (!fits) {
        GST_ELEMENT_ERROR(parent, STREAM, DECODE, (nullptr), ("animation too large"));
        return GST_FLOW_ERROR;
    }
    return GST_FLOW_OK;
}

// The file comes in pieces; at its end the element's own stream starts. (Only then: the
// decoding bin makes the output ready to take data once the input sends it.)
gboolean sinkEvent(GstPad*, GstObject* parent, GstEvent* event) {
    AnimationDecoder* self = decoderOf(parent);
    const bool end = GST_EVENT_TYPE(event) == GST_EVENT_EOS;
    gst_event_unref(event);
    if (end) {
        gst_pad_start_task(self->src, streamLoop, self, nullptr);
    }
    return TRUE;
}

GstStateChangeReturn changeState(GstElement* element, GstStateChange transition) {
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
        restartStream(decoderOf(element)->stream);
    }
    const GstStateChangeReturn result = parentClass->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) {
        restartStream(decoderOf(element)->stream);
    }
    return result;
}

void instanceInit(GTypeInstance* instance, gpointer klass) {
    AnimationDecoder* self = decoderOf(instance);
    new (&self->stream) Stream();
    gst_segment_init(&self->stream.segment, GST_FORMAT_TIME);
    auto* element = GST_ELEMENT_CLASS(klass);
    self->sink =
        gst_pad_new_from_template(gst_element_class_get_pad_template(element, "sink"), "sink");
    gst_pad_set_chain_function(self->sink, sinkChain);
    gst_pad_set_event_function(self->sink, sinkEvent);
    gst_element_add_pad(GST_ELEMENT(self), self->sink);
    self->src =
        gst_pad_new_from_template(gst_element_class_get_pad_template(element, "src"), "src");
    gst_pad_set_event_function(self->src, srcEvent);
    gst_pad_set_query_function(self->src, srcQuery);
    gst_pad_set_activatemode_function(self->src, srcActivateMode);
    gst_pad_use_fixed_caps(self->src);
    gst_element_add_pad(GST_ELEMENT(self), self->src);
}

void finalize(GObject* object) {
    decoderOf(object)->stream.~Stream();
    G_OBJECT_CLASS(parentClass)->finalize(object);
}

void classInit(gpointer klass, gpointer) {
    parentClass = GST_ELEMENT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = finalize;
    auto* element = GST_ELEMENT_CLASS(klass);
    element->change_state = changeState;
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kSinkCaps)).get()));
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kSrcCaps)).get()));
    gst_element_class_set_static_metadata(
        element, "Toolkit animation decoder", "Codec/Decoder/Video",
        "Plays animated GIF, PNG and WebP pictures frame by frame", "Lumarest");
}

GType animationDecoderType() {
    static const GType type = g_type_register_static_simple(
        GST_TYPE_ELEMENT, "LumarestAnimationDecoder", sizeof(AnimationDecoderClass), classInit,
        sizeof(AnimationDecoder), instanceInit, GTypeFlags(0));
    return type;
}

} // namespace

bool registerAnimationDecoder(GstPlugin* plugin) {
    // First for GIF: libav's GIF demuxer gives every frame the same time.
    return gst_element_register(plugin, "toolkit-animation-decoder", GST_RANK_PRIMARY + 1,
                                animationDecoderType());
}

bool animationLoopsForever(GstElement* pipeline) {
    if (!GST_IS_BIN(pipeline)) {
        return false;
    }
    bool loops = false;
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    while (!loops && gst_iterator_next(elements, &item) == GST_ITERATOR_OK) {
        auto* element = g_value_get_object(&item);
        loops = G_TYPE_CHECK_INSTANCE_TYPE(element, animationDecoderType()) &&
                decoderOf(element)->stream.loopsForever;
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    return loops;
}

} // namespace media
