// Simulated failures of graph calls, so the player's failure handling can be exercised with
// real graphs. A call with an injected result returns it without doing anything else.
#pragma once

#include "platform/media/HResult.h"

#include <optional>

namespace media {

enum class GraphCall {
    CreateGraph,
    RenderFile,
    QueryMediaControl,
    QueryMediaEventEx,
    QueryMediaSeeking,
    QueryMediaPosition,
    QueryVideoWindow,
    QueryBasicVideo,
    QueryBasicAudio,
    PutOwner,
    PutWindowStyle,
    GetVideoSize,
    SetWindowPosition,
    Run,
    Pause,
    Stop,
    GetDuration,
    SetPositions,
    PutVolume,
    GetVolume,
    GetVisible,
    PutFullScreenMode,
};

// Every later call of that kind, in any graph, returns hr until the failures are cleared.
void injectGraphFailure(GraphCall call, HRESULT hr);
void clearGraphFailures();
std::optional<HRESULT> injectedGraphFailure(GraphCall call);

} // namespace media
