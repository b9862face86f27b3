#include "platform/framework/KeyState.h"

#include "platform/input/KeyStateTable.h"
#include "platform/input/VirtualKeys.h"

#include <QGuiApplication>

short GetKeyState(unsigned virtualKey) {
    const Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
    const auto& table = keystate::Current();
    bool down = false;
    switch (virtualKey) {
    case vk::VK_CONTROL:
        down = (mods & Qt::ControlModifier) || table[keystate::DIK_LCONTROL];
        break;
    case vk::VK_SHIFT:
        down = (mods & Qt::ShiftModifier) || table[keystate::DIK_LSHIFT];
        break;
    case vk::VK_MENU:
        down = (mods & Qt::AltModifier) || table[keystate::DIK_LMENU];
        break;
    default:
        break;
    }
    return down ? static_cast<short>(0x8000) : 0;
}
