#include "platform/media/MappedFrame.h"

namespace media {

MappedFrame::MappedFrame(GstSample* sample) {
    GstCaps* caps = sample != nullptr ? gst_sample_get_caps(sample) : nullptr;
    GstBuffer* buffer = sample != nullptr ? gst_sample_get_buffer(sample) : nullptr;
    GstVideoInfo info;
    if (caps == nullptr || buffer == nullptr || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRx) {
        return;
    }
    m_mapped = gst_video_frame_map(&m_frame, &info, buffer, GST_MAP_READ);
}

MappedFrame::~MappedFrame() {
    if (m_mapped) {
        gst_video_frame_unmap(&m_frame);
    }
}

QSize MappedFrame::size() const {
    return m_mapped ? QSize(GST_VIDEO_FRAME_WIDTH(&m_frame), GST_VIDEO_FRAME_HEIGHT(&m_frame))
                    : QSize();
}

QImage MappedFrame::image() const {
    if (!m_mapped) {
        return {};
    }
    return QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&m_frame, 0)),
                  GST_VIDEO_FRAME_WIDTH(&m_frame), GST_VIDEO_FRAME_HEIGHT(&m_frame),
                  GST_VIDEO_FRAME_PLANE_STRIDE(&m_frame, 0), QImage::Format_RGB32);
}

} // namespace media
