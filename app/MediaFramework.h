#pragma once
// Start-up of the media framework for the process.
#include <functional>

// Begins the start-up on a thread of its own, so that the framework gets ready while the windows
// are built; StartMediaFramework waits for it. When the process's arguments name a file (as a
// rule one to play at once) the thread goes on to load the plugins every playing graph is made
// of.
void StartMediaFrameworkEarly(int argc, char** argv);
// True when the media framework is ready for use.
bool StartMediaFramework();
// Replaces the start-up (tests simulate a failure); an empty function restores it.
void SetMediaFrameworkStarter(std::function<bool()> starter);
