// A video sink opened ahead of the first graph.
//
// Opening the GL sink (its display, GL context and window thread) is most of the way from
// starting the program to the first picture, and it needs nothing of the windows: it is
// begun on the framework's start-up thread while the windows are built, and the first graph
// that asks for that sink takes it, waiting for the opening to end if need be.
#pragma once

#include "platform/media/GstPtr.h"

#include <string>

namespace media {

// Says which sink is to be opened ahead: from now on a graph asking for it waits for the
// opening (or for its cancelling) rather than making its own.
void planVideoSinkAhead(const std::string& description);
// Opens the planned sink (to READY) on the calling thread and keeps it for the first graph.
// A sink that cannot open is dropped: the graph then makes and opens its own.
void openVideoSinkAhead();
// The planned sink will not be opened after all.
void cancelVideoSinkAhead();
// True while the sink of this description is being opened ahead (a graph would wait for it).
bool videoSinkOpeningAhead(const std::string& description);
// The sink opened ahead, if it is of this description and no graph has taken it yet.
GstPtr<GstElement> takeVideoSinkOpenedAhead(const std::string& description);
// Closes a sink that no graph took (on the thread that owns the windows, before they go).
void dropVideoSinkOpenedAhead();

} // namespace media
