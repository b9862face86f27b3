// What a prerolled playbin holds: how many streams of each kind and the picture format.
#pragma once

#include <gst/gst.h>

namespace media {

struct StreamFacts {
    int videoStreams = 0;
    int audioStreams = 0;
    int width = 0;
    int height = 0;
    int framerateNum = -1;
    int framerateDen = 1;

    bool hasVideo() const { return videoStreams > 0; }
    // A single picture: one video stream of frame rate 0/1 and nothing to hear. Video of
    // variable frame rate also says 0/1, so a known duration rules the still image out.
    bool isStillImage(bool durationKnown) const {
        return videoStreams == 1 && audioStreams == 0 && framerateNum == 0 && !durationKnown;
    }
};

StreamFacts readStreamFacts(GstElement* playbin);

} // namespace media
