// A second try for a file whose first-choice reader refused it. The element GStreamer ranks
// first for a type (a demuxer, parser or decoder) does not read every variant of it; one
// ranked lower may (AIFF-C with A-law or µ-law sound is read by libav's AIFF demuxer, not by
// the native AIFF parser). The second try passes over the reader that refused.
#pragma once

#include <gst/gst.h>
#include <string>

namespace media {

// The factory of the reader that posted error, when another installed element reads what it
// was given; empty otherwise (the error came from elsewhere, or nothing else reads it).
std::string readerWithAlternative(GstMessage* error);
// The factory of reader when another installed element reads what it was given.
std::string alternativeTo(GstElement* reader);

// Makes playbin's decoding bins pass over the readers avoided on it. Call once per playbin.
void watchAvoidedReaders(GstElement* playbin);
// Adds a reader to pass over from the next build on; false when it was avoided already.
// Only while playbin is in the NULL state (no streaming thread reads the list then).
bool avoidReader(GstElement* playbin, const std::string& factory);
void clearAvoidedReaders(GstElement* playbin);

} // namespace media
