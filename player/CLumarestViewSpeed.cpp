// The player view's speed: the keys and the desktop set it, the graph plays at it, and
// the status bar says it while it is not the medium's own.
#include "player/CLumarestView.h"

#include "platform/framework/StatusBar.h"
#include "player/PlaybackSpeed.h"
#include "res/Resource.h"

void CLumarestView::SetSpeed(double speed) {
    const double held = HeldSpeed(speed);
    if (held == m_dSpeed)
        return;
    m_dSpeed = held;
    ApplySpeed();
    ShowSpeed();
    emit speedChanged();
}

// A failure leaves the medium at the pace it had: nothing is lost, so nothing is logged.
void CLumarestView::ApplySpeed() {
    if (HasGraph() && m_pMS)
        m_pMS->SetRate(m_dSpeed);
}

void CLumarestView::ShowSpeed() {
    CStatusBar* bar = StatusBar();
    if (bar && OwnsStatusBar())
        SetPane(bar->CommandToIndex(ID_INDICATOR_SPEED), SpeedText(m_dSpeed));
}
