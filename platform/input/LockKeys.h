#pragma once
// Whether Caps Lock, Num Lock and Scroll Lock are on, for the status bar's
// indicator panes. Kept from the keyboard state the window system reports with
// each key (and, under X, asked of the server when the program becomes active
// and after a lock key), and toggled by a lock key's press where the window
// system reports nothing, so that it needs no polling.
#include <QObject>

namespace lockkeys {

enum class Lock { Caps, Num, Scroll };

bool IsOn(Lock lock);

// Tells of every change of the locks.
class Notifier : public QObject {
    Q_OBJECT
signals:
    void changed();
};
Notifier& Changes();

// Installs the event filter on the application once and reads the locks as
// they are now; safe to call again.
void Install();

// The lock bits of a window system's keyboard state as Qt passes it on with
// each key (QKeyEvent::nativeModifiers): the core X state under X, the xkb
// modifier mask under Wayland, where Lock and Mod2 have the same bits.
struct LockState {
    bool caps = false;
    bool num = false;
};
LockState LocksOfNativeModifiers(quint32 nativeModifiers);

} // namespace lockkeys
