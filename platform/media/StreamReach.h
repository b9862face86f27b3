// Whether a stream's server can be reached at all, asked before the pipeline is built: the
// network source tells a refused connection from a timed-out one in no words of its own.
#pragma once

#include "platform/media/StreamFault.h"

#include <chrono>
#include <string>

namespace media {

// The host and port of an http, https or rtsp URI (the scheme's own port when none is
// given); false for any other URI.
bool streamEndpoint(const std::string& uri, std::string* host, int* port);
// What the graph is given names such a stream rather than a file.
bool isStreamUri(const std::wstring& location);

// How long a stream may take to start, reached and prerolled; 20 seconds unless set.
std::chrono::milliseconds streamStartLimit();
void setStreamStartLimit(std::chrono::milliseconds limit);

// The fault a failed stream preroll stands for: the server's answer first, then where the
// error came from. timedOut: the limit passed before any answer.
StreamFault faultOfPreroll(int httpStatus, bool sourceFailed, bool timedOut);

// Connects to the URI's server and closes again, on a thread of its own; the program's pump
// (WhileStarting) runs every few milliseconds meanwhile. None when the server answered.
StreamFault reachStream(const std::string& uri, std::chrono::steady_clock::time_point deadline);

} // namespace media
