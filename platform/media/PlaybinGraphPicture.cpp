// The picture on screen, taken as a still: the frame the view shows, subtitles and all, or
// the same frame as it was decoded, before the subtitles were drawn on it.
#include "platform/media/MappedFrame.h"
#include "platform/media/PlaybinGraph.h"

#include <gst/video/video.h>

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

} // namespace

HRESULT PlaybinGraph::GetCurrentPicture(bool withSubtitles, QImage& picture) {
    if (!m_rendered)
        return E_UNEXPECTED;
    if (!m_facts.hasVideo() || !m_frames || !m_decoded)
        return E_NOINTERFACE;
    const GstPtr<GstSample> shown = m_frames->latest();
    if (!shown)
        return E_FAIL;
    if (withSubtitles)
        return copyImage(shown.get(), picture);
    const GstPtr<GstSample> decoded =
        m_decoded->at(GST_BUFFER_PTS(gst_sample_get_buffer(shown.get())));
    const GstPtr<GstSample> rgb = decoded ? asRgb(decoded.get()) : nullptr;
    return rgb ? copyImage(rgb.get(), picture) : E_FAIL;
}

} // namespace media
