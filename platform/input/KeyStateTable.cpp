#include "platform/input/KeyStateTable.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <unordered_map>

namespace keystate {
namespace {

Table g_table{};

class KeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            Press(static_cast<QKeyEvent*>(event)->key());
            break;
        case QEvent::KeyRelease:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                Release(static_cast<QKeyEvent*>(event)->key());
            break;
        case QEvent::ApplicationDeactivate:
            ReleaseAll();
            break;
        default:
            break;
        }
        return false;
    }
};

const std::unordered_map<int, uint8_t>& ScanCodes() {
    static const std::unordered_map<int, uint8_t> codes = {
        {Qt::Key_Escape, DIK_ESCAPE},
        {Qt::Key_1, 0x02},
        {Qt::Key_2, 0x03},
        {Qt::Key_3, 0x04},
        {Qt::Key_4, 0x05},
        {Qt::Key_5, 0x06},
        {Qt::Key_6, 0x07},
        {Qt::Key_7, 0x08},
        {Qt::Key_8, 0x09},
        {Qt::Key_9, 0x0A},
        {Qt::Key_0, 0x0B},
        {Qt::Key_Minus, 0x0C},
        {Qt::Key_Equal, 0x0D},
        {Qt::Key_Backspace, 0x0E},
        {Qt::Key_Tab, 0x0F},
        {Qt::Key_Q, 0x10},
        {Qt::Key_W, 0x11},
        {Qt::Key_E, 0x12},
        {Qt::Key_R, 0x13},
        {Qt::Key_T, 0x14},
        {Qt::Key_Y, 0x15},
        {Qt::Key_U, 0x16},
        {Qt::Key_I, 0x17},
        {Qt::Key_O, 0x18},
        {Qt::Key_P, 0x19},
        {Qt::Key_Return, DIK_RETURN},
        {Qt::Key_Enter, 0x9C},
        {Qt::Key_Control, DIK_LCONTROL},
        {Qt::Key_A, 0x1E},
        {Qt::Key_S, 0x1F},
        {Qt::Key_D, 0x20},
        {Qt::Key_F, 0x21},
        {Qt::Key_G, 0x22},
        {Qt::Key_H, 0x23},
        {Qt::Key_J, 0x24},
        {Qt::Key_K, 0x25},
        {Qt::Key_L, 0x26},
        {Qt::Key_Shift, DIK_LSHIFT},
        {Qt::Key_Z, 0x2C},
        {Qt::Key_X, 0x2D},
        {Qt::Key_C, 0x2E},
        {Qt::Key_V, 0x2F},
        {Qt::Key_B, 0x30},
        {Qt::Key_N, 0x31},
        {Qt::Key_M, 0x32},
        {Qt::Key_Alt, DIK_LMENU},
        {Qt::Key_Space, DIK_SPACE},
        {Qt::Key_Plus, 0x4E},
        {Qt::Key_Home, 0xC7},
        {Qt::Key_Up, 0xC8},
        {Qt::Key_PageUp, 0xC9},
        {Qt::Key_Left, 0xCB},
        {Qt::Key_Right, 0xCD},
        {Qt::Key_End, 0xCF},
        {Qt::Key_Down, 0xD0},
        {Qt::Key_PageDown, 0xD1},
        {Qt::Key_Insert, 0xD2},
        {Qt::Key_Delete, 0xD3},
    };
    return codes;
}

} // namespace

void Install() {
    static KeyFilter* filter = nullptr;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new KeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
    // A key released while another window had the keyboard (a full-screen window that went,
    // a compositor that sent the release elsewhere) would stay down for ever: whenever the
    // keyboard moves between windows, only keys pressed from then on count.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(gui, &QGuiApplication::focusWindowChanged, filter, [] { ReleaseAll(); });
}

const Table& Current() {
    return g_table;
}

uint8_t ScanCodeOf(int qtKey) {
    auto it = ScanCodes().find(qtKey);
    return it == ScanCodes().end() ? 0 : it->second;
}

void Press(int qtKey) {
    if (uint8_t code = ScanCodeOf(qtKey))
        g_table[code] = 0x80;
}

void Release(int qtKey) {
    if (uint8_t code = ScanCodeOf(qtKey))
        g_table[code] = 0;
}

void ReleaseAll() {
    g_table.fill(0);
}

} // namespace keystate
