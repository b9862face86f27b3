// A guard against pictures too large to decode: an image of 20000 x 20000 pixels
// compresses to a megabyte or so, and decoded it would take gigabytes.
#pragma once

#include <gst/gst.h>

#include <cstdint>

namespace media {

// The most memory one decoded picture may take.
inline constexpr std::uint64_t kMaxPictureBytes = 512ull * 1024 * 1024;

// Bytes one picture of these caps takes once decoded; 0 when the caps give no size.
// Compressed caps count four bytes a pixel, the most a decoder here gives.
std::uint64_t decodedPictureBytes(const GstCaps* caps);

// Watches every video or image decoder that the playbin plugs in: a picture whose
// decoded size would pass kMaxPictureBytes is never decoded. Its stream fails with a
// format error instead, as a file that cannot be understood does.
void limitPictureSize(GstElement* playbin);

} // namespace media
