#pragma once
// The state of a key at the time of the current input event: negative while
// it is down (Shift, Ctrl and Alt are answered from the keyboard modifiers).
short GetKeyState(unsigned virtualKey);
