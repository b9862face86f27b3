#include "platform/media/StreamFacts.h"

#include "platform/media/GstPtr.h"

namespace media {
namespace {

void readPictureFormat(GstElement* playbin, int stream, StreamFacts& facts) {
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
}

} // namespace

StreamFacts readStreamFacts(GstElement* playbin) {
    StreamFacts facts;
    gint videos = 0;
    gint audios = 0;
    gint currentVideo = -1;
    g_object_get(playbin, "n-video", &videos, "n-audio", &audios, "current-video", &currentVideo,
                 nullptr);
    facts.videoStreams = videos;
    facts.audioStreams = audios;
    if (videos > 0) {
        readPictureFormat(playbin, currentVideo >= 0 ? currentVideo : 0, facts);
    }
    return facts;
}

} // namespace media
