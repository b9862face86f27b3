#include "platform/input/LockKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#ifdef LUMAREST_HAVE_XCB
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace lockkeys {
namespace {

constexpr quint32 kLockMask = 1u << 1; // Caps Lock
constexpr quint32 kMod2Mask = 1u << 4; // Num Lock in every common keymap

bool g_caps = false;
bool g_num = false;
bool g_scroll = false;

void Set(bool caps, bool num, bool scroll) {
    if (caps == g_caps && num == g_num && scroll == g_scroll)
        return;
    g_caps = caps;
    g_num = num;
    g_scroll = scroll;
    emit Changes().changed();
}

bool IsLockKey(int key) {
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

#ifdef LUMAREST_HAVE_XCB
// The X server's modifier state now, which holds Caps Lock and Num Lock.
bool AskTheXServer(LockState& state) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr)
        return false;
    const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr),
        &std::free);
    if (!reply)
        return false;
    state = LocksOfNativeModifiers(reply->mask);
    return true;
}
#else
bool AskTheXServer(LockState&) {
    return false;
}
#endif

void ReadFromTheWindowSystem() {
    LockState state;
    if (AskTheXServer(state))
        Set(state.caps, state.num, g_scroll);
}

void OnKey(const QKeyEvent& key, bool press) {
    const bool fromWindowSystem = key.nativeScanCode() != 0;
    if (IsLockKey(key.key())) {
        if (press && !key.isAutoRepeat()) {
            Set(g_caps != (key.key() == Qt::Key_CapsLock), g_num != (key.key() == Qt::Key_NumLock),
                g_scroll != (key.key() == Qt::Key_ScrollLock));
        } else if (!press && fromWindowSystem) {
            ReadFromTheWindowSystem(); // the server's word, where there is one
        }
        return;
    }
    // Any other key carries the state as it is, locks changed elsewhere included.
    if (fromWindowSystem) {
        const LockState state = LocksOfNativeModifiers(key.nativeModifiers());
        Set(state.caps, state.num, g_scroll);
    }
}

class LockFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A key comes to its top-level window first, then goes on to widgets, and
        // every step passes here: it counts once, at the window.
        const bool atWindow = watched->isWindowType();
        switch (event->type()) {
        case QEvent::KeyPress:
            if (atWindow)
                OnKey(*static_cast<QKeyEvent*>(event), true);
            break;
        case QEvent::KeyRelease:
            if (atWindow)
                OnKey(*static_cast<QKeyEvent*>(event), false);
            break;
        case QEvent::ApplicationActivate:
            ReadFromTheWindowSystem();
            break;
        default:
            break;
        }
        return false;
    }
};

} // namespace

bool IsOn(Lock lock) {
    switch (lock) {
    case Lock::Caps:
        return g_caps;
    case Lock::Num:
        return g_num;
    case Lock::Scroll:
        return g_scroll;
    }
    return false;
}

Notifier& Changes() {
    static Notifier notifier;
    return notifier;
}

LockState LocksOfNativeModifiers(quint32 nativeModifiers) {
    return {(nativeModifiers & kLockMask) != 0, (nativeModifiers & kMod2Mask) != 0};
}

void Install() {
    static LockFilter* filter = nullptr;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new LockFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
    ReadFromTheWindowSystem();
}

} // namespace lockkeys
