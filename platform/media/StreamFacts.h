// What a prerolled playbin holds: how many streams of each kind and the picture format,
// its size being the one it is shown at (its pixels' aspect and its orientation applied).
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

// exifTurn: the file's own orientation turns it a quarter (a photo); otherwise the
// stream's orientation tag says so or not.
StreamFacts readStreamFacts(GstElement* playbin, bool exifTurn);

// The size a picture of w x h stored pixels is shown at: its pixels stretched across by
// parN / parD, then turned on its side by a quarter turn.
void applyShownSize(int& w, int& h, int parN, int parD, bool quarterTurn);
// GStreamer's image-orientation tag ("rotate-90", "flip-rotate-270", ...) says a quarter turn.
bool tagTurnsOnItsSide(const char* orientation);

} // namespace media
