// Chapters an MP4 keeps in its user data (the chpl box under moov/udta), which the demuxer
// does not post as a table of contents. Safe on any input: every size is checked against
// the box it lies in and against the file.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace media {

struct Mp4Chapter {
    std::int64_t start = 0; // in 100 ns units
    std::string title;      // UTF-8, empty when the chapter has none
};

// The chapters in order of their starts; none when the stream is no MP4, has no chapter
// list, or the list is damaged.
std::vector<Mp4Chapter> mp4Chapters(std::istream& in);
std::vector<Mp4Chapter> mp4Chapters(const std::string& path);

} // namespace media
