// How a photo is to be turned to stand upright, from its EXIF Orientation (what cameras
// and phones write instead of turning the pixels). GStreamer's JPEG elements do not pass it
// on to the picture reliably, so the file's own header is read.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace media {

// 1 (as stored) to 8, from the start of a JPEG file; 1 for any other file, or when the
// header holds no valid Orientation.
int exifOrientation(std::span<const uint8_t> jpegStart);
int exifOrientationOfFile(const std::string& path);

// videoflip's video-direction that stands an EXIF orientation upright; "identity" for 1
// and for unknown values.
const char* turnForExifOrientation(int orientation);
// The orientation is a quarter turn: the picture is shown with its sides swapped.
inline bool exifTurnsOnItsSide(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace media
