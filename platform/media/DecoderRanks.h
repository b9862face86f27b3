// The decoders GStreamer may choose, set up once when the media framework starts.
#pragma once

namespace media {

// Lets GStreamer pick the picture decoders it has but ranks out, recognise the picture types
// it does not know, and frame whole pictures for the decoders that need them. Decoders that
// already read a type stay first for it. Safe to call more than once; the first call counts.
void prepareDecoders();

} // namespace media
