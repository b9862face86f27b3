#pragma once
// Start-up of the media framework for the process.
#include <functional>

// Begins the start-up on a thread of its own, so that the framework and the elements every
// graph is made of are loaded while the windows are built. StartMediaFramework waits for it.
void StartMediaFrameworkEarly();
// True when the media framework is ready for use.
bool StartMediaFramework();
// Replaces the start-up (tests simulate a failure); an empty function restores it.
void SetMediaFrameworkStarter(std::function<bool()> starter);
