#pragma once
// Process-wide state that all player views share (user-interface thread only).
#include "platform/input/DirectInput.h"

#include <memory>

// A slider seek is in progress: a slider tick must not start another.
extern bool g_bSeeking;
// The keyboard device, made anew by each new player view; the newest serves all.
extern std::shared_ptr<IDirectInput8> g_pDI;
extern std::shared_ptr<IDirectInputDevice8> g_pKeyboard;
