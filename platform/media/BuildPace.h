// How much longer the media layer waits for GStreamer in an instrumented build (the
// sanitizers), where every allocation of every library walks its whole stack and a
// pipeline starts several times slower than in an ordinary build.
#pragma once

namespace media {

#ifdef LUMAREST_SLOW_BUILD_FACTOR
constexpr int kBuildPace = LUMAREST_SLOW_BUILD_FACTOR;
#else
constexpr int kBuildPace = 1;
#endif

} // namespace media
