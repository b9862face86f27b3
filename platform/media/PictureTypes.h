// Recognising picture files whose type GStreamer's own type finders do not know, so that a
// decoder can be chosen for them at all.
#pragma once

#include <gst/gst.h>

namespace media {

// Registers the type finders in plugin: SGI ("image/x-sgi"), Targa with its footer
// ("image/x-tga") and PCX ("image/x-pcx") images, and JPEG of four colour components
// ("image/jpeg, colorspace=CMYK").
bool registerPictureTypes(GstPlugin* plugin);

} // namespace media
