#include "platform/media/QtPictureDecoder.h"

#include "platform/media/GstPtr.h"

#include <QImage>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/video.h>

#include <cstring>

namespace media {
namespace {

// Whole pictures only, as the framing parser hands them on (jpegparse too, with the colour
// space it finds).
constexpr const char* kSinkCaps =
    "image/x-xpixmap, parsed=(boolean)true; "
    "image/jpeg, parsed=(boolean)true, colorspace=(string){CMYK, YCCK}; "
    "image/png, parsed=(boolean)true, bit-depth=(int)16";
constexpr const char* kSrcCaps = "video/x-raw, format=(string)RGBA";

struct QtPictureDecoder {
    GstVideoDecoder parent;
    GstVideoCodecState* input;
};

struct QtPictureDecoderClass {
    GstVideoDecoderClass parent;
};

gboolean setFormat(GstVideoDecoder* decoder, GstVideoCodecState* state) {
    auto* self = reinterpret_cast<QtPictureDecoder*>(decoder);
    if (self->input != nullptr) {
        gst_video_codec_state_unref(self->input);
    }
    self->input = gst_video_codec_state_ref(state);
    return TRUE;
}

gboolean stop(GstVideoDecoder* decoder) {
    auto* self = reinterpret_cast<QtPictureDecoder*>(decoder);
    if (self->input != nullptr) {
        gst_video_codec_state_unref(self->input);
        self->input = nullptr;
    }
    return TRUE;
}

// The picture's rows into the frame's, each as long as the shorter of the two.
void copyRows(const QImage& picture, GstVideoFrame& out) {
    auto* to = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&out, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&out, 0);
    const auto bytes = static_cast<size_t>(std::min<qsizetype>(picture.bytesPerLine(), stride));
    for (int y = 0; y < picture.height(); ++y) {
        std::memcpy(to + static_cast<ptrdiff_t>(y) * stride, picture.constScanLine(y), bytes);
    }
}

GstFlowReturn handleFrame(GstVideoDecoder* decoder, GstVideoCodecFrame* frame) {
    GstMapInfo in;
    if (!gst_buffer_map(frame->input_buffer, &in, GST_MAP_READ)) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_ERROR;
    }
    QImage picture = QImage::fromData(in.data, static_cast<int>(in.size));
    gst_buffer_unmap(frame->input_buffer, &in);
    if (picture.isNull()) {
        gst_video_decoder_drop_frame(decoder, frame);
        GST_ELEMENT_ERROR(decoder, STREAM, DECODE, (nullptr), ("the picture cannot be read"));
        return GST_FLOW_ERROR;
    }
    picture.convertTo(QImage::Format_RGBA8888);
    auto* self = reinterpret_cast<QtPictureDecoder*>(decoder);
    GstVideoCodecState* output = gst_video_decoder_set_output_state(
        decoder, GST_VIDEO_FORMAT_RGBA, static_cast<guint>(picture.width()),
        static_cast<guint>(picture.height()), self->input);
    // One still picture.
    GST_VIDEO_INFO_FPS_N(&output->info) = 0;
    GST_VIDEO_INFO_FPS_D(&output->info) = 1;
    gst_video_codec_state_unref(output);
    if (!gst_video_decoder_negotiate(decoder)) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_NOT_NEGOTIATED;
    }
    const GstFlowReturn allocated = gst_video_decoder_allocate_output_frame(decoder, frame);
    if (allocated != GST_FLOW_OK) {
        gst_video_decoder_drop_frame(decoder, frame);
        return allocated;
    }
    GstVideoCodecState* negotiated = gst_video_decoder_get_output_state(decoder);
    GstVideoFrame out;
    const bool mapped =
        gst_video_frame_map(&out, &negotiated->info, frame->output_buffer, GST_MAP_WRITE);
    gst_video_codec_state_unref(negotiated);
    if (!mapped) {
        gst_video_decoder_drop_frame(decoder, frame);
        return GST_FLOW_ERROR;
    }
    copyRows(picture, out);
    gst_video_frame_unmap(&out);
    return gst_video_decoder_finish_frame(decoder, frame);
}

void instanceInit(GTypeInstance* instance, gpointer) {
    auto* self = reinterpret_cast<QtPictureDecoder*>(instance);
    self->input = nullptr;
    gst_video_decoder_set_packetized(GST_VIDEO_DECODER(instance), TRUE);
}

void classInit(gpointer klass, gpointer) {
    auto* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kSinkCaps)).get()));
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS,
                                      GstPtr<GstCaps>(gst_caps_from_string(kSrcCaps)).get()));
    gst_element_class_set_static_metadata(element, "Toolkit picture decoder", "Codec/Decoder/Image",
                                          "Reads XPM, CMYK JPEG and 16-bit PNG pictures with Qt",
                                          "Lumarest");
    auto* video = GST_VIDEO_DECODER_CLASS(klass);
    video->set_format = setFormat;
    video->stop = stop;
    video->handle_frame = handleFrame;
}

GType qtPictureDecoderType() {
    static const GType type = g_type_register_static_simple(
        GST_TYPE_VIDEO_DECODER, "LumarestQtPictureDecoder", sizeof(QtPictureDecoderClass),
        classInit, sizeof(QtPictureDecoder), instanceInit, GTypeFlags(0));
    return type;
}

} // namespace

bool registerQtPictureDecoder(GstPlugin* plugin) {
    // First for what it takes: jpegdec would take a CMYK JPEG only to refuse it.
    return gst_element_register(plugin, "toolkit-picture-decoder", GST_RANK_PRIMARY + 1,
                                qtPictureDecoderType());
}

} // namespace media
