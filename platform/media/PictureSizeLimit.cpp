#include "platform/media/PictureSizeLimit.h"

#include <gst/video/video-info.h>

#include <cstring>

namespace media {
namespace {

constexpr std::uint64_t kMostBytesPerPixel = 4;
const char* const kRefusedMark = "lumarest-picture-too-large";

bool isPictureDecoder(GstElement* element) {
    GstElementFactory* factory = gst_element_get_factory(element);
    const gchar* klass =
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS) : nullptr;
    return klass != nullptr && std::strstr(klass, "Decoder") != nullptr &&
           (std::strstr(klass, "Video") != nullptr || std::strstr(klass, "Image") != nullptr);
}

// Said straight on the pipeline's bus: a decodebin keeps to itself the errors of
// an element that it is still setting up.
void refuse(GstElement* decoder, GstElement* pipeline) {
    g_object_set_data(G_OBJECT(decoder), kRefusedMark, GINT_TO_POINTER(1));
    GError* error = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_FORMAT,
                                        "Picture too large to decode.");
    GstBus* bus = gst_element_get_bus(pipeline);
    if (bus != nullptr) {
        gst_bus_post(bus, gst_message_new_error(GST_OBJECT(decoder), error, nullptr));
        gst_object_unref(bus);
    }
    g_error_free(error);
}

// Runs on a streaming thread. Once a decoder is refused, no picture reaches it.
GstPadProbeReturn onDecoderData(GstPad* pad, GstPadProbeInfo* info, gpointer pipeline) {
    GstElement* decoder = GST_ELEMENT(gst_pad_get_parent(pad));
    if (decoder == nullptr) {
        return GST_PAD_PROBE_OK;
    }
    GstPadProbeReturn result = GST_PAD_PROBE_OK;
    const bool refused = g_object_get_data(G_OBJECT(decoder), kRefusedMark) != nullptr;
    if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) == 0) {
        result = refused ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
    } else if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_CAPS) {
        GstCaps* caps = nullptr;
        gst_event_parse_caps(GST_PAD_PROBE_INFO_EVENT(info), &caps);
        const bool tooLarge = decodedPictureBytes(caps) > kMaxPictureBytes;
        if (tooLarge && !refused) {
            refuse(decoder, GST_ELEMENT(pipeline));
        }
        if (tooLarge || refused) {
            result = GST_PAD_PROBE_DROP;
        }
    }
    gst_object_unref(decoder);
    return result;
}

void watchPad(GstElement* element, const char* name, gpointer pipeline) {
    GstPad* pad = gst_element_get_static_pad(element, name);
    if (pad == nullptr) {
        return;
    }
    gst_pad_add_probe(pad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                   GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_BUFFER_LIST),
                      onDecoderData, pipeline, nullptr);
    gst_object_unref(pad);
}

void onElementAdded(GstBin*, GstBin*, GstElement* element, gpointer pipeline) {
    if (!isPictureDecoder(element)) {
        return;
    }
    // The coded caps name the size for most image formats (their headers are read
    // while the type is found), so most pictures are refused before a byte is
    // decoded; the decoded caps catch the rest before a second picture is made.
    watchPad(element, "sink", pipeline);
    watchPad(element, "src", pipeline);
}

} // namespace

std::uint64_t decodedPictureBytes(const GstCaps* caps) {
    if (caps == nullptr || gst_caps_get_size(caps) == 0 || !gst_caps_is_fixed(caps)) {
        return 0;
    }
    const GstStructure* format = gst_caps_get_structure(caps, 0);
    gint width = 0;
    gint height = 0;
    if (!gst_structure_get_int(format, "width", &width) ||
        !gst_structure_get_int(format, "height", &height) || width <= 0 || height <= 0) {
        return 0;
    }
    GstVideoInfo info;
    if (gst_structure_has_name(format, "video/x-raw") && gst_video_info_from_caps(&info, caps)) {
        return info.size;
    }
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
           kMostBytesPerPixel;
}

void limitPictureSize(GstElement* playbin) {
    // The playbin owns every decoder it plugs in, so it outlives their probes.
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(onElementAdded), playbin);
}

} // namespace media
