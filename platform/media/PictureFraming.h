// A parser that hands a picture file on as one whole frame. Some picture decoders (libav's)
// decode only a complete picture per buffer, while a file arrives in pieces of a few
// kilobytes; nothing else frames the picture types that only they read.
#pragma once

#include <gst/gst.h>

namespace media {

// Registers the parser in plugin (its name: "picture-framing").
bool registerPictureFraming(GstPlugin* plugin);

} // namespace media
