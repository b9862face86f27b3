// Length of a stream whose container does not state it (an MP3 without a Xing header):
// the file is parsed, not decoded, to its end at full speed, which takes milliseconds.
#pragma once

#include <gst/gst.h>
#include <optional>

namespace media {

// Nanoseconds, or nothing when the file cannot be parsed within timeout.
std::optional<gint64> scanDuration(const char* uri, GstClockTime timeout);

} // namespace media
