#pragma once
// Start-up of the media framework for the process.
#include <functional>
#include <string>

// Begins the start-up on a thread of its own, so that the framework gets ready while the windows
// are built; StartMediaFramework waits for it. When the process's arguments name a file (as a
// rule one to play at once) the thread goes on to load the plugins every playing graph is made
// of and to open the video sink the first graph will use.
void StartMediaFrameworkEarly(int argc, char** argv);
// The video sink a graph will use in a process started with these arguments, as far as it can
// be told before the windows' platform starts; empty when it cannot be told.
std::string VideoSinkForArguments(int argc, char** argv);
// True when the media framework is ready for use.
bool StartMediaFramework();
// Replaces the start-up (tests simulate a failure); an empty function restores it.
void SetMediaFrameworkStarter(std::function<bool()> starter);
