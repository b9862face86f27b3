// The picture on screen, taken as a still: the frame the view shows, subtitles and all, or
// the same frame as it was decoded, before the subtitles were drawn on it.
#include "platform/media/MappedFrame.h"
#include "platform/media/PlaybinGraph.h"

#include <QTransform>

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
    GError* raw = nullptr;
    GstPtr<GstSample> converted(
        gst_video_convert_sample(sample, caps.get(), kConvertTimeout, &raw));
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

HRESULT PlaybinGraph::GetCurrentPicture(bool withSubtitles, QImage& picture) {
    if (!m_rendered)
        return E_UNEXPECTED;
    if (!m_facts.hasVideo() || !m_frames || !m_decoded)
        return E_NOINTERFACE;
    const GstPtr<GstSample> shown = m_frames->latest();
    if (!shown)
        return E_FAIL;
    const QSize size(m_facts.width, m_facts.height);
    QImage image;
    if (withSubtitles) {
        // Already turned on its way to the screen.
        if (FAILED(copyImage(shown.get(), image)))
            return E_FAIL;
        picture = asShown(image, {}, size);
        return S_OK;
    }
    const GstPtr<GstSample> decoded =
        m_decoded->at(GST_BUFFER_PTS(gst_sample_get_buffer(shown.get())));
    const GstPtr<GstSample> rgb = decoded ? asRgb(decoded.get()) : nullptr;
    if (!rgb || FAILED(copyImage(rgb.get(), image)))
        return E_FAIL;
    picture = asShown(image, orientationOf(m_playbin.get()), size);
    return S_OK;
}

} // namespace media
