// Brings a pipeline to its first frame and tells why when it cannot get there.
#pragma once

#include "platform/media/BusBridge.h"
#include "platform/media/HResult.h"

#include <string>

namespace media {

struct PrerollOutcome {
    HRESULT result = E_FAIL;
    std::string refusingReader; // the reader that refused or stalled on what another reads
    bool cutShort = false;      // data stopped flowing for another reason than a refusal
    int httpStatus = 0;         // a network source's answer from its server, when it had one
    bool sourceFailed = false;  // the error came from the element that reads the URI
};

// Sets pipeline to PAUSED and waits on the bus (kept in rendering mode by the caller) until
// it has prerolled, failed, stalled (a reader stopped and no error came) or timeout passed.
// Never keeps the text of an error. Meanwhile the program's pump (WhileStarting) runs about
// every pumpEvery.
PrerollOutcome prerollPipeline(GstElement* pipeline, BusBridge& bus, GstClockTime timeout,
                               GstClockTime pumpEvery = 100 * GST_MSECOND);

} // namespace media
