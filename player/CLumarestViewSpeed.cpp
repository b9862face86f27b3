// The player view's pace: its speed (the keys and the desktop set it, the graph plays at
// it, and the status bar says it while it is not the medium's own), and its frame steps.
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

bool CLumarestView::StepFrame(bool forward) {
    if (!HasGraph() || !m_pMS || !m_bPaused || FAILED(m_pMS->StepFrame(forward)))
        return false;
    if (const int second = MediumSeconds(); second >= 0 && m_wndSlider) {
        m_nElapsed = second;
        SetSliderValue(second);
        m_nSliderPos = second; // moved by the view: no seek follows
        if (OwnsStatusBar())
            ShowTime(QString());
    }
    return true;
}

void CLumarestView::ShowSpeed() {
    CStatusBar* bar = StatusBar();
    if (bar && OwnsStatusBar())
        SetPane(bar->CommandToIndex(ID_INDICATOR_SPEED), SpeedText(m_dSpeed));
}
