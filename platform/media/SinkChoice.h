// Which outputs a graph renders to. LUMAREST_VIDEOSINK and LUMAREST_AUDIOSINK override the
// defaults with an element name or a pipeline description ("videoconvert ! ximagesink").
#pragma once

#include "platform/media/GstPtr.h"

#include <string>

namespace media {

struct SinkChoice {
    std::string video;
    std::string audio;
    // Tried once when the video sink fails to open or to render (a GL sink without working GL).
    std::string videoFallback;
};

// qpaPlatform: Qt's platform name ("xcb", "offscreen", ...); the overrides may be empty.
SinkChoice chooseSinks(const std::string& qpaPlatform, const std::string& videoOverride,
                       const std::string& audioOverride);

// The same, from the running application and the environment.
SinkChoice currentSinkChoice();

// Sets a boolean property on the sink and on every element inside it that has it (a sink
// may be a bin around the element that draws).
void setOnSink(GstElement* sink, const char* property, bool value);

// True for the automatic sound output, which playbin makes by itself when it is given none.
bool playbinMakesAudioSink(const std::string& audio);

// A video sink leaves the keys and clicks over its picture to the program. A sink element for a
// name or a description ("ximagesink display=:1" too); falls back to the automatic sink of its kind
// when the element is not installed. Null only when nothing at all can be made.
GstPtr<GstElement> makeSink(const std::string& description, bool video);

} // namespace media
