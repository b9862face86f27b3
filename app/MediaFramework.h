#pragma once
// Start-up of the media framework for the process.
#include <functional>

// True when the media framework is ready for use.
bool StartMediaFramework();
// Replaces the start-up (tests simulate a failure); an empty function restores it.
void SetMediaFrameworkStarter(std::function<bool()> starter);
