// A picture decoder over the toolkit's own image readers, for the pictures no GStreamer
// decoder here reads: XPM, JPEG in CMYK (jpegdec refuses four components; libav's decoder
// must never be given one) and PNG of 16 bits a sample (pngdec puts the samples of its RGB
// pictures out of place). It takes a whole picture and gives one still frame.
#pragma once

#include <gst/gst.h>

namespace media {

// Registers the decoder in plugin (its name: "toolkit-picture-decoder"), ranked first for
// what it takes: no other decoder here reads these pictures.
bool registerQtPictureDecoder(GstPlugin* plugin);

} // namespace media
