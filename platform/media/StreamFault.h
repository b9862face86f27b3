// Why a stream on the network could not be started, as far as the graph can tell.
#pragma once

namespace media {

enum class StreamFault {
    None,
    ConnectionRefused,
    HostNotFound,
    Unreachable,
    TimedOut,
    NotFound,    // the server has nothing under that name
    Denied,      // the server wants credentials or refuses them
    ServerError, // any other answer of the server that is no success
    ConnectionLost,
    NotPlayable, // data came, but nothing in it can be played
};

struct StreamFailure {
    StreamFault fault = StreamFault::None;
    int httpStatus = 0; // the server's answer, when it gave one
};

} // namespace media
