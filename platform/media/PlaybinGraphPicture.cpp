// The picture on screen, taken as a still: the frame the view shows, subtitles and all, or
// the same frame as it was decoded, before the subtitles were drawn on it.
#include "platform/media/MappedFrame.h"
#include "platform/media/PlaybinGraph.h"

#include <QPainter>
#include <QTransform>

#include <gst/video/video-overlay-composition.h>
#include <gst/video/video.h>

#include <cstdlib>
#include <string>

namespace media {
namespace {

constexpr GstClockTime kConvertTimeout = GST_SECOND;

// The same frame as 32-bit RGB at its own size.
GstPtr<GstSample> asRgb(GstSample* sample) {
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)))
        return nullptr;
    const GstPtr<GstCaps> caps(
        gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                            info.width, "height", G_TYPE_INT, info.height, "pixel-aspect-ratio",
                            GST_TYPE_FRACTION, info.par_n, info.par_d, nullptr));
    // The frame in plain memory terms: a sink's features (overlay metas) are not converted.
    const GstPtr<GstCaps> plain(gst_video_info_to_caps(&info));
    const GstPtr<GstSample> from(
        gst_sample_new(gst_sample_get_buffer(sample), plain.get(), nullptr, nullptr));
    GError* raw = nullptr;
    GstPtr<GstSample> converted(
        gst_video_convert_sample(from.get(), caps.get(), kConvertTimeout, &raw));
    const GstPtr<GError> error(raw);
    return error ? nullptr : std::move(converted);
}

HRESULT copyImage(GstSample* sample, QImage& picture) {
    const MappedFrame frame(sample);
    if (!frame.ok())
        return E_FAIL;
    picture = frame.image().copy();
    return S_OK;
}

// A sink that takes subtitles as pictures beside the frame (not drawn on it) was given them
// so: they are drawn here as the sink would.
void drawOverlay(GstSample* sample, QImage& image) {
    GstVideoOverlayCompositionMeta* meta =
        gst_buffer_get_video_overlay_composition_meta(gst_sample_get_buffer(sample));
    if (meta == nullptr)
        return;
    QPainter painter(&image);
    for (guint i = 0; i < gst_video_overlay_composition_n_rectangles(meta->overlay); ++i) {
        GstVideoOverlayRectangle* rect =
            gst_video_overlay_composition_get_rectangle(meta->overlay, i);
        gint x = 0, y = 0;
        guint w = 0, h = 0;
        GstBuffer* pixels =
            gst_video_overlay_rectangle_get_pixels_argb(rect, GST_VIDEO_OVERLAY_FORMAT_FLAG_NONE);
        GstVideoMeta* layout = pixels ? gst_buffer_get_video_meta(pixels) : nullptr;
        GstMapInfo map;
        if (layout == nullptr ||
            !gst_video_overlay_rectangle_get_render_rectangle(rect, &x, &y, &w, &h) ||
            !gst_buffer_map(pixels, &map, GST_MAP_READ))
            continue;
        const QImage part(map.data, int(layout->width), int(layout->height), layout->stride[0],
                          QImage::Format_ARGB32);
        painter.drawImage(QRect(x, y, int(w), int(h)), part);
        gst_buffer_unmap(pixels, &map);
    }
}

// The playing video stream's orientation tag ("rotate-90", "flip-rotate-0", ...); "" for none.
std::string orientationOf(GstElement* playbin) {
    gint stream = 0;
    g_object_get(playbin, "current-video", &stream, nullptr);
    GstTagList* raw = nullptr;
    g_signal_emit_by_name(playbin, "get-video-tags", stream, &raw);
    const GstPtr<GstTagList> tags(raw);
    gchar* orientation = nullptr;
    if (tags)
        gst_tag_list_get_string(tags.get(), GST_TAG_IMAGE_ORIENTATION, &orientation);
    std::string text = orientation != nullptr ? orientation : "";
    g_free(orientation);
    return text;
}

// Turned as the view turns the frames (its orientation tag), and stretched to the size the
// video is shown at (its pixels' aspect).
QImage asShown(const QImage& decoded, const std::string& orientation, QSize shown) {
    QImage picture = decoded;
    const bool flip = orientation.rfind("flip-", 0) == 0;
    const size_t digits = orientation.find_first_of("0123456789");
    const int degrees = digits == std::string::npos ? 0 : std::atoi(orientation.c_str() + digits);
    if (flip)
        picture = picture.mirrored(true, false);
    if (degrees % 360 != 0)
        picture = picture.transformed(QTransform().rotate(degrees));
    if (shown.isValid() && picture.size() != shown)
        picture = picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture;
}

} // namespace

// The frame on screen: the one our view paints, or the last one another sink was given.
GstPtr<GstSample> PlaybinGraph::shownSample() const {
    if (m_frames)
        return m_frames->latest();
    GstSample* raw = nullptr;
    g_object_get(m_playbin.get(), "sample", &raw, nullptr);
    return GstPtr<GstSample>(raw);
}

HRESULT PlaybinGraph::GetCurrentPicture(bool withSubtitles, QImage& picture) {
    if (!m_rendered)
        return E_UNEXPECTED;
    if (!m_facts.hasVideo() || !m_decoded)
        return E_NOINTERFACE;
    const GstPtr<GstSample> shown = shownSample();
    if (!shown)
        return E_FAIL;
    // Our view's frames are turned on their way to it; any other frame is as decoded.
    const bool turned = withSubtitles && m_frames;
    const GstPtr<GstSample> frame =
        withSubtitles ? GstPtr<GstSample>(gst_sample_ref(shown.get()))
                      : m_decoded->at(GST_BUFFER_PTS(gst_sample_get_buffer(shown.get())));
    const GstPtr<GstSample> rgb = frame ? asRgb(frame.get()) : nullptr;
    QImage image;
    if (!rgb || FAILED(copyImage(rgb.get(), image)))
        return E_FAIL;
    if (withSubtitles)
        drawOverlay(frame.get(), image);
    picture = asShown(image, turned ? std::string() : orientationOf(m_playbin.get()),
                      QSize(m_facts.width, m_facts.height));
    return S_OK;
}

} // namespace media
