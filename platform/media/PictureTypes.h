// Recognising picture files whose type GStreamer's own type finders do not know, or know too
// coarsely for the decoder they lead to, so that a decoder that reads them can be chosen.
#pragma once

#include <gst/gst.h>

namespace media {

// Registers the type finders in plugin: SGI ("image/x-sgi"), Targa with its footer
// ("image/x-tga") and PCX ("image/x-pcx") images, JPEG of four colour components or an
// unreadable frame header ("image/jpeg, colorspace=CMYK") and still PNG of 16 bits a sample
// ("image/png, bit-depth=16").
bool registerPictureTypes(GstPlugin* plugin);

} // namespace media
