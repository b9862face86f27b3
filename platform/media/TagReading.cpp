#include "platform/media/TagReading.h"

#include <gst/tag/tag.h>

#include <memory>

namespace media {
namespace {

struct TagListUnref {
    void operator()(GstTagList* tags) const { gst_tag_list_unref(tags); }
};
struct SampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};

void fillText(const GstTagList* tags, const char* tag, QString& out) {
    gchar* value = nullptr;
    if (out.isEmpty() && gst_tag_list_get_string(tags, tag, &value) && value)
        out = QString::fromUtf8(value).trimmed();
    g_free(value);
}

// The front cover when the file marks one, else the first picture it holds.
GstSample* coverSample(const GstTagList* tags) {
    GstSample* first = nullptr;
    const guint count = gst_tag_list_get_tag_size(tags, GST_TAG_IMAGE);
    for (guint i = 0; i < count; ++i) {
        GstSample* sample = nullptr;
        if (!gst_tag_list_get_sample_index(tags, GST_TAG_IMAGE, i, &sample) || !sample)
            continue;
        const GstStructure* info = gst_sample_get_info(sample);
        gint kind = -1;
        if (info && gst_structure_get_enum(info, "image-type", GST_TYPE_TAG_IMAGE_TYPE, &kind) &&
            kind == GST_TAG_IMAGE_TYPE_FRONT_COVER) {
            if (first)
                gst_sample_unref(first);
            return sample;
        }
        if (first)
            gst_sample_unref(sample);
        else
            first = sample;
    }
    if (!first)
        gst_tag_list_get_sample(tags, GST_TAG_PREVIEW_IMAGE, &first);
    return first;
}

void fillCover(const GstTagList* tags, MediumTags& out) {
    if (!out.cover.isEmpty())
        return;
    const std::unique_ptr<GstSample, SampleUnref> sample(coverSample(tags));
    GstBuffer* buffer = sample ? gst_sample_get_buffer(sample.get()) : nullptr;
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    out.cover = QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
    gst_buffer_unmap(buffer, &map);
    const GstCaps* caps = gst_sample_get_caps(sample.get());
    const GstStructure* s =
        caps && gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    out.coverType = s ? QString::fromUtf8(gst_structure_get_name(s)) : QString();
}

void fill(const GstTagList* tags, MediumTags& out) {
    fillText(tags, GST_TAG_TITLE, out.title);
    fillText(tags, GST_TAG_ARTIST, out.artist);
    fillText(tags, GST_TAG_ALBUM, out.album);
    guint track = 0;
    if (out.track == 0 && gst_tag_list_get_uint(tags, GST_TAG_TRACK_NUMBER, &track))
        out.track = track;
    fillCover(tags, out);
}

} // namespace

MediumTags readStreamTags(GstElement* playbin) {
    MediumTags tags;
    if (!playbin)
        return tags;
    for (const char* action : {"get-audio-tags", "get-video-tags"}) {
        GstTagList* list = nullptr;
        g_signal_emit_by_name(playbin, action, 0, &list);
        const std::unique_ptr<GstTagList, TagListUnref> owned(list);
        if (owned)
            fill(owned.get(), tags);
    }
    return tags;
}

} // namespace media
