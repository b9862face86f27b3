#pragma once
// Follows the program's player windows for the desktop: which one is the
// active player, what it is doing, and whether any window shows moving video.
// The windows tell nobody when they change, so the watch looks at them a few
// times a second and reports only changes.
#include "desktop/PlayerState.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class CLumarestView;
class CMDIFrameWnd;

namespace desktop {

class PlayerWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 200;

    PlayerWatch(CMDIFrameWnd& frame, QObject* parent);

    // The player window the desktop acts on: the active child window when it is
    // a player, else the player that was active last, else the newest one.
    CLumarestView* ActivePlayer();
    const PlayerSnapshot& Snapshot() const { return m_snapshot; }
    bool VideoShowing() const { return m_video; }

    // Looks again now (after the desktop acted on a window).
    void Refresh();

signals:
    // Something but the position changed.
    void changed(const desktop::PlayerSnapshot& snapshot);
    void videoShowingChanged(bool showing);

private:
    QPointer<CMDIFrameWnd> m_frame;
    QPointer<CLumarestView> m_last;
    QTimer m_timer;
    PlayerSnapshot m_snapshot;
    bool m_video = false;
};

} // namespace desktop
