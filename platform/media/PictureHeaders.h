// What a picture file's own header says, read from its first bytes. Plain functions over
// bytes, safe on any input: every length is checked against what is there.
#pragma once

#include <cstdint>
#include <span>

namespace media {

// The number of colour components in a JPEG's frame header (1 grey, 3 colour, 4 CMYK or
// YCCK), found by walking the segments before it; 0 when the bytes are no JPEG, or the
// frame header is not within them whole (cut short or damaged).
int jpegComponents(std::span<const std::uint8_t> bytes);

// A still PNG of 16 bits a sample (of any colour type), as its header says; false for an
// animated one (an animation control chunk before the picture data), or when the bytes end
// before the picture data begins.
bool isDeepStillPng(std::span<const std::uint8_t> bytes);

// An animated PNG: its animation control chunk (acTL) comes before its picture data.
bool isAnimatedPng(std::span<const std::uint8_t> bytes);

} // namespace media
