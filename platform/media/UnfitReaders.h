// Readers that must not be given a stream although their pad templates take it: they misread
// it, or worse, and a reader of ours is there for it.
#pragma once

#include <gst/gst.h>

namespace media {

// True when the factory's element must not read a stream of these caps: libav's JPEG
// decoder a picture that may have four colour components (it crashes on a damaged one), and
// GStreamer's PNG parser and decoder a PNG of 16 bits a sample (pngdec of GStreamer 1.22
// shifts the samples of such a picture by one, turning its colours).
bool isUnfitReader(GstElementFactory* factory, const GstCaps* caps);

} // namespace media
