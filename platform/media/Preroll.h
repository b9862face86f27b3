// Brings a pipeline to its first frame and tells why when it cannot get there.
#pragma once

#include "platform/media/BusBridge.h"
#include "platform/media/HResult.h"

namespace media {

// Sets pipeline to PAUSED and waits on the bus (kept in rendering mode by the caller) until
// it has prerolled, failed or timeout passed. Never keeps the text of an error.
HRESULT prerollPipeline(GstElement* pipeline, BusBridge& bus, GstClockTime timeout);

} // namespace media
