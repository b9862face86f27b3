#pragma once
// Follows the program's player windows for the desktop: which one is the active player,
// what it is doing, and whether any window shows moving video. It hears the windows
// announce their changes and passes on only what changes what the desktop sees.
#include "desktop/PlayerState.h"

#include <QObject>
#include <QPointer>

class CLumarestView;
class CMDIChildWnd;
class CMDIFrameWnd;

namespace desktop {

class PlayerWatch : public QObject {
    Q_OBJECT
public:
    PlayerWatch(CMDIFrameWnd& frame, QObject* parent);

    // The player window the desktop acts on: the active child window when it is
    // a player, else the player that was active last, else the newest one.
    CLumarestView* ActivePlayer();
    const PlayerSnapshot& Snapshot() const { return m_snapshot; }
    bool VideoShowing() const { return m_video; }

signals:
    // Something but the position changed.
    void changed(const desktop::PlayerSnapshot& snapshot);
    void videoShowingChanged(bool showing);
    // The active player's medium jumped to this position.
    void seeked(qint64 positionUs);

private:
    void Follow(CMDIChildWnd* child);
    void Refresh();

    QPointer<CMDIFrameWnd> m_frame;
    QPointer<CLumarestView> m_last;
    PlayerSnapshot m_snapshot;
    bool m_video = false;
};

} // namespace desktop
