// The length of what is seen and heard. A container's own length is that of its longest
// stream, and a subtitle track whose last line stays up after the picture has ended makes
// it longer than anything that plays: the picture and sound streams tell their own.
#pragma once

#include <gst/gst.h>

#include <optional>
#include <string_view>

namespace media {

// Nanoseconds: where the last of the picture and sound streams of a prerolled playbin
// ends, as each stream's segment or its DURATION tag says; nothing when one of them does
// not say.
std::optional<gint64> pictureAndSoundLength(GstElement* playbin);

// A DURATION tag's value ("1:02:03.5", "00:00:04.023000000") in nanoseconds.
std::optional<gint64> durationTagValue(std::string_view text);

} // namespace media
