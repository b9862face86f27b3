// Tells a preroll that can no longer finish. decodebin drops the errors that a reader posts
// while it is still being set up, and a reader that reads in its own task (aiffparse,
// qtdemux) can fail that early: then no error arrives and the first frame never comes.
#pragma once

#include "platform/media/GstPtr.h"

namespace media {

// A reader inside pipeline that has stopped its streaming task: nothing more will come of it
// until the pipeline is started again. One that delivered nothing is preferred. Null when
// there is none.
// deliveredEnd tells whether the reader stopped after a stream and its end went downstream:
// then what follows it should preroll on that end, and is given longer before it counts as
// stalled (a busy machine may take seconds to set up a subtitle renderer).
GstPtr<GstElement> stoppedReader(GstElement* pipeline, bool* deliveredEnd = nullptr);

} // namespace media
