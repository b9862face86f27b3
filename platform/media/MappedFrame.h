// A frame's pixels mapped for reading while this lives, and seen as an image.
#pragma once

#include <QImage>
#include <QSize>

#include <gst/video/video-frame.h>

namespace media {

class MappedFrame {
public:
    // Maps nothing for a null sample or one that is not 32-bit RGB.
    explicit MappedFrame(GstSample* sample);
    ~MappedFrame();
    MappedFrame(const MappedFrame&) = delete;
    MappedFrame& operator=(const MappedFrame&) = delete;

    bool ok() const { return m_mapped; }
    QSize size() const;
    int parN() const { return GST_VIDEO_INFO_PAR_N(&m_frame.info); }
    int parD() const { return GST_VIDEO_INFO_PAR_D(&m_frame.info); }
    // The pixels themselves, not a copy: valid while this object lives.
    QImage image() const;

private:
    GstVideoFrame m_frame{};
    bool m_mapped = false;
};

} // namespace media
