// What a TIFF file's first directory says before any decoder sees it. The picture decoders
// here read samples of floating point as if they were integers, and show noise.
#pragma once

#include <string>

namespace media {

// The file is a TIFF whose first picture has floating-point samples (SampleFormat 3).
bool tiffHasFloatSamples(const std::string& path);

} // namespace media
