// Tells a preroll that can no longer finish. decodebin drops the errors that a reader posts
// while it is still being set up, and a reader that reads in its own task (aiffparse,
// qtdemux) can fail that early: then no error arrives and the first frame never comes.
#pragma once

#include "platform/media/GstPtr.h"

namespace media {

// A reader inside pipeline that has stopped its streaming task without having delivered any
// stream downstream: nothing will come of it until the pipeline is started again. Null when
// there is none.
GstPtr<GstElement> stoppedReader(GstElement* pipeline);

} // namespace media
