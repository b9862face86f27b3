// A decoder element for animated pictures (GIF, animated PNG, animated WebP) over the
// program's frame readers: it takes the whole file and sends its frames on as video, each
// with its own time and duration, so the medium has the length of its animation and can be
// positioned. A picture of one frame goes on as one still frame without a length.
#pragma once

#include <gst/gst.h>

namespace media {

// Registers the element in plugin (its name: "toolkit-animation-decoder"), ranked first for
// GIF and for the animated types the program's type finders name.
bool registerAnimationDecoder(GstPlugin* plugin);

// The animation that pipeline plays says it plays again without end; its length is one pass.
bool animationLoopsForever(GstElement* pipeline);

} // namespace media
