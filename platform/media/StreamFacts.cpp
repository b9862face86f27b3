#include "platform/media/StreamFacts.h"

#include "platform/media/GstPtr.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace media {
namespace {

void readPictureFormat(GstElement* playbin, int stream, bool exifTurn, StreamFacts& facts) {
    GstPad* rawPad = nullptr;
    g_signal_emit_by_name(playbin, "get-video-pad", stream, &rawPad);
    GstPtr<GstPad> pad(rawPad);
    if (!pad) {
        return;
    }
    GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad.get()));
    if (!caps || gst_caps_get_size(caps.get()) == 0) {
        return;
    }
    const GstStructure* format = gst_caps_get_structure(caps.get(), 0);
    gst_structure_get_int(format, "width", &facts.width);
    gst_structure_get_int(format, "height", &facts.height);
    gst_structure_get_fraction(format, "framerate", &facts.framerateNum, &facts.framerateDen);
    int parN = 1;
    int parD = 1;
    gst_structure_get_fraction(format, "pixel-aspect-ratio", &parN, &parD);
    GstTagList* rawTags = nullptr;
    g_signal_emit_by_name(playbin, "get-video-tags", stream, &rawTags);
    GstPtr<GstTagList> tags(rawTags);
    gchar* orientation = nullptr;
    if (tags) {
        gst_tag_list_get_string(tags.get(), GST_TAG_IMAGE_ORIENTATION, &orientation);
    }
    applyShownSize(facts.width, facts.height, parN, parD,
                   exifTurn || tagTurnsOnItsSide(orientation));
    g_free(orientation);
}

} // namespace

void applyShownSize(int& w, int& h, int parN, int parD, bool quarterTurn) {
    if (parN > 0 && parD > 0 && parN != parD && w > 0) {
        w = static_cast<int>(std::max<gint64>(1, gint64{w} * parN / parD));
    }
    if (quarterTurn) {
        std::swap(w, h);
    }
}

bool tagTurnsOnItsSide(const char* orientation) {
    const std::string_view turn = orientation != nullptr ? orientation : "";
    return turn.ends_with("rotate-90") || turn.ends_with("rotate-270");
}

StreamFacts readStreamFacts(GstElement* playbin, bool exifTurn) {
    StreamFacts facts;
    gint videos = 0;
    gint audios = 0;
    gint currentVideo = -1;
    g_object_get(playbin, "n-video", &videos, "n-audio", &audios, "current-video", &currentVideo,
                 nullptr);
    facts.videoStreams = videos;
    facts.audioStreams = audios;
    if (videos > 0) {
        readPictureFormat(playbin, currentVideo >= 0 ? currentVideo : 0, exifTurn, facts);
    }
    return facts;
}

} // namespace media
