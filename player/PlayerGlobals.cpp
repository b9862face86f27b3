#include "player/PlayerGlobals.h"

bool g_bSeeking = false;
std::shared_ptr<IDirectInput8> g_pDI;
std::shared_ptr<IDirectInputDevice8> g_pKeyboard;
