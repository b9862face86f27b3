#pragma once
// Windows virtual-key codes as the program's key handlers speak them, and the
// translation from Qt key events.
#include <QKeyEvent>

namespace vk {
constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_ADD = 0x6B;
constexpr unsigned VK_SUBTRACT = 0x6D;
constexpr unsigned VK_F1 = 0x70;
// '#', on whichever keys the keyboard's layout has it (no code of its own on the desktop the
// program was first written for).
constexpr unsigned VK_NUMBER_SIGN = 0xE0;
constexpr unsigned VK_OEM_COMMA = 0xBC;
constexpr unsigned VK_OEM_PERIOD = 0xBE;
constexpr unsigned VK_OEM_4 = 0xDB; // [
constexpr unsigned VK_OEM_6 = 0xDD; // ]
} // namespace vk

// The virtual-key code of a Qt key event, or 0 when it has none. Keypad + and -
// are told apart from the main keyboard's, as the player's slide keys need.
unsigned QtKeyToVirtualKey(const QKeyEvent& event);
unsigned QtKeyToVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
