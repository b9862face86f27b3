// Turns what the pipeline reported while rendering a file into the graph's result codes.
#pragma once

#include "platform/media/HResult.h"

#include <glib.h>

namespace media {

// domain and code of an ERROR message; missingDecoder: a stream without a decoder was seen
// before the error (missing-plugin message or CODEC_NOT_FOUND warning).
HRESULT resultForRenderError(GQuark domain, int code, bool missingDecoder);

} // namespace media
