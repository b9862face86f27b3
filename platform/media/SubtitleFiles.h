// Subtitle files that go with a video: beside it, with the same base name.
#pragma once

#include <string>

namespace media {

// The URI of the first of name.srt, .ass, .ssa, .vtt (in that order; the ending in small
// letters or capitals) beside the video at path; empty when there is none.
std::string subtitleUriBeside(const std::wstring& path);

} // namespace media
