#include "platform/media/PictureFraming.h"

#include "platform/media/GstPtr.h"

#include <gst/base/gstbaseparse.h>

namespace media {
namespace {

// No picture file is larger; anything larger is not read whole into memory.
constexpr gint64 kLargestPicture = 256 * 1024 * 1024;
constexpr guint kGrowth = 64 * 1024; // when the file's size is unknown

// Only types that no decoder reads piece by piece. A framed stream ("parsed") is not framed
// again: decodebin never puts the same parser twice in a row.
constexpr const char* kFramedTypes = "image/x-sgi; image/x-sun-raster; image/x-pcx; "
                                     "image/x-xpixmap; image/jpeg, colorspace=(string)CMYK; "
                                     "image/png, bit-depth=(int)16";
constexpr const char* kFramedOutput =
    "image/x-sgi, parsed=(boolean)true; image/x-sun-raster, parsed=(boolean)true; "
    "image/x-pcx, parsed=(boolean)true; image/x-xpixmap, parsed=(boolean)true; "
    "image/jpeg, colorspace=(string)CMYK, parsed=(boolean)true; "
    "image/png, bit-depth=(int)16, parsed=(boolean)true";

struct PictureFraming {
    GstBaseParse parent;
};

struct PictureFramingClass {
    GstBaseParseClass parent;
};

GType pictureFramingType();

// The picture as the caps it came with, marked framed and still (frame rate 0/1).
bool announceFramedCaps(GstBaseParse* parse) {
    if (gst_pad_has_current_caps(GST_BASE_PARSE_SRC_PAD(parse))) {
        return true;
    }
    // Pulled data comes without a caps event: then the type found upstream is asked for.
    GstPad* sink = GST_BASE_PARSE_SINK_PAD(parse);
    GstCaps* given = gst_pad_get_current_caps(sink);
    if (given == nullptr) {
        given = gst_pad_peer_query_caps(sink, nullptr);
    }
    if (given == nullptr || !gst_caps_is_fixed(given)) {
        if (given != nullptr) {
            gst_caps_unref(given);
        }
        return false;
    }
    GstCaps* framed = gst_caps_make_writable(given);
    gst_caps_set_simple(framed, "parsed", G_TYPE_BOOLEAN, TRUE, "framerate", GST_TYPE_FRACTION, 0,
                        1, nullptr);
    const bool set = gst_pad_set_caps(GST_BASE_PARSE_SRC_PAD(parse), framed);
    gst_caps_unref(framed);
    return set;
}

gint64 wholeSize(GstBaseParse* parse) {
    gint64 size = -1;
    if (!gst_pad_peer_query_duration(GST_BASE_PARSE_SINK_PAD(parse), GST_FORMAT_BYTES, &size)) {
        return -1;
    }
    return size;
}

// Holds back until the whole file is there (or the stream ends), then passes it on at once.
GstFlowReturn handleFrame(GstBaseParse* parse, GstBaseParseFrame* frame, gint* skipsize) {
    *skipsize = 0;
    const gsize have = gst_buffer_get_size(frame->buffer);
    const gint64 whole = wholeSize(parse);
    if (whole > kLargestPicture || static_cast<gint64>(have) > kLargestPicture) {
        GST_ELEMENT_ERROR(parse, STREAM, DECODE, (nullptr), ("picture too large to frame"));
        return GST_FLOW_ERROR;
    }
    if (!GST_BASE_PARSE_DRAINING(parse) && (whole < 0 || static_cast<gint64>(have) < whole)) {
        gst_base_parse_set_min_frame_size(parse, whole > 0 ? static_cast<guint>(whole)
                                                           : static_cast<guint>(have) + kGrowth);
        return GST_FLOW_OK;
    }
    if (!announceFramedCaps(parse)) {
        return GST_FLOW_NOT_NEGOTIATED;
    }
    GST_BUFFER_PTS(frame->buffer) = 0;
    GST_BUFFER_DURATION(frame->buffer) = GST_CLOCK_TIME_NONE;
    return gst_base_parse_finish_frame(parse, frame, static_cast<gint>(have));
}

gboolean start(GstBaseParse* parse) {
    gst_base_parse_set_min_frame_size(parse, 1);
    return TRUE;
}

void pictureFramingClassInit(gpointer klass, gpointer) {
    auto* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kFramedTypes)).get()));
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kFramedOutput)).get()));
    gst_element_class_set_static_metadata(element, "Picture framing", "Codec/Parser/Image",
                                          "Passes a whole picture file on as one frame",
                                          "Lumarest");
    auto* parse = GST_BASE_PARSE_CLASS(klass);
    parse->start = start;
    parse->handle_frame = handleFrame;
}

GType pictureFramingType() {
    static const GType type = g_type_register_static_simple(
        GST_TYPE_BASE_PARSE, "LumarestPictureFraming", sizeof(PictureFramingClass),
        pictureFramingClassInit, sizeof(PictureFraming), nullptr, GTypeFlags(0));
    return type;
}

} // namespace

bool registerPictureFraming(GstPlugin* plugin) {
    // Above every decoder of these types (the toolkit's decoder among them), so that each of
    // them gets the picture whole.
    return gst_element_register(plugin, "picture-framing", GST_RANK_PRIMARY + 2,
                                pictureFramingType());
}

} // namespace media
