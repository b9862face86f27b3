// Which outputs a graph renders to. The picture is painted by the player's own view unless
// LUMAREST_VIDEOSINK names another sink (an element name or a pipeline description, such as
// "fakevideosink" for a run without a screen); LUMAREST_AUDIOSINK overrides the sound output.
#pragma once

#include "platform/media/GstPtr.h"

#include <string>

namespace media {

struct SinkChoice {
    std::string video; // empty: the frames go to the player's view
    std::string audio;
};

// The overrides may be empty.
SinkChoice chooseSinks(const std::string& videoOverride, const std::string& audioOverride);

// The same, from the running application and the environment.
SinkChoice currentSinkChoice();

// True for the automatic sound output, which playbin makes by itself when it is given none.
bool playbinMakesAudioSink(const std::string& audio);

// A sink element for a name or a description ("fakevideosink sync=false" too); null when it
// cannot be made, and the view then paints the picture after all.
GstPtr<GstElement> makeVideoSink(const std::string& description);
// The same for sound, falling back to the automatic output, then to a silent one. Null only
// when nothing at all can be made.
GstPtr<GstElement> makeAudioSink(const std::string& description);

} // namespace media
