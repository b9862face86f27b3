// The player view's keys, sound and focus: volume, slide-delay and transport keys,
// the Sound command's effect, muting while another window of the program has the
// focus, and the keyboard device that watches for Escape in full screen.
#include "player/CLumarestView.h"

#include "app/SharedState.h"
#include "platform/input/VirtualKeys.h"
#include "player/PlayerGlobals.h"
#include "player/PlayerMath.h"
#include "player/PlayerTexts.h"

#include <QGuiApplication>

namespace {
constexpr int32_t kSilence = -10000;
constexpr unsigned kKeyM = 0x4D;
constexpr unsigned kKeyF = 0x46;
constexpr int kSeekStep = 5;      // seconds, Left and Right
constexpr int kLongSeekStep = 30; // with Shift
const QString kSilentText = QStringLiteral(" 0");
} // namespace

void CLumarestView::OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags) {
    switch (nChar) {
    case vk::VK_END:
    case vk::VK_HOME:
    case vk::VK_UP:
    case vk::VK_DOWN:
        ChangeVolume(VolumeAfterKey(nChar, m_lVolume));
        break;
    case kKeyM:
        // Silences the graph or gives it back the stored volume; stores nothing.
        if (m_pBA) {
            long volume = 0;
            m_pBA->get_Volume(&volume);
            if (volume == kSilence) {
                SetVolume(m_lVolume);
                ShowVolume();
            } else {
                SetVolume(kSilence);
                SetPane(2, kSilentText);
            }
        }
        break;
    case vk::VK_ADD:
    case vk::VK_SUBTRACT:
        g_nSlideDelay = SlideDelayAfterKey(nChar, g_nSlideDelay);
        SetPane(0, SlideDelayStatusText(g_nSlideDelay));
        break;
    // The transport keys of today's players.
    case vk::VK_SPACE:
        OnPlayerPause();
        break;
    case vk::VK_LEFT:
    case vk::VK_RIGHT: {
        const int step =
            QGuiApplication::keyboardModifiers() & Qt::ShiftModifier ? kLongSeekStep : kSeekStep;
        SeekBy(nChar == vk::VK_LEFT ? -step : step);
        break;
    }
    case kKeyF:
        if (!m_bFullScreen) {
            m_bFullScreenKeyHeld = true; // this press must not leave it again at once
            OnViewFullScreen();
        }
        break;
    default:
        break;
    }
    AnnounceChanges();
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CLumarestView::SetLevel(int level) {
    ChangeVolume(VolumeAtLevel(level));
    AnnounceChanges();
}

// The stored volume, heard at once and shown in pane 2.
void CLumarestView::ChangeVolume(int32_t volume) {
    m_lVolume = volume;
    SetVolume(m_lVolume);
    ShowVolume();
}

// Switching the sound off keeps the level now in force, to give it back later.
void CLumarestView::ApplySound() {
    long volume = m_lVolume;
    if (m_pBA)
        m_pBA->get_Volume(&volume);
    if (m_bSoundOff) {
        m_lVolume = static_cast<int32_t>(volume);
        SetVolume(kSilence);
        SetPane(2, kSilentText);
    } else {
        SetVolume(m_lVolume);
        ShowVolume();
    }
}

void CLumarestView::OnSetFocus(QWidget* oldFocus) {
    CView::OnSetFocus(oldFocus);
    AnnounceChanges(); // with the focus, this window's end may move its queue on
    if (!m_bPlaying)
        return;
    ShowVolume();
    if (m_pBA && !m_bSoundOff)
        SetVolume(m_lVolume);
    if (m_wndSlider)
        m_wndSlider->show();
    FillBackground();
    RedrawNow();
}

// Only one player is heard: the one with the focus. Leaving the program
// altogether (no new focus here) keeps it playing aloud.
void CLumarestView::OnKillFocus(QWidget* newFocus) {
    CView::OnKillFocus(newFocus);
    AnnounceChanges();
    if (m_bFullScreen)
        return;
    ShowTime(QStringLiteral(" "));
    if (newFocus && m_pBA && m_bPlaying)
        SetVolume(kSilence);
}

void CLumarestView::SetVolume(int32_t volume) {
    if (m_pBA)
        m_pBA->put_Volume(volume);
}

void CLumarestView::ShowVolume() {
    SetPane(2, VolumeText(m_lVolume));
}

// Each new player view makes the process's keyboard device anew.
void CLumarestView::InitKeyboard() {
    g_pKeyboard.reset();
    g_pDI.reset();
    CheckResult(19, DirectInput8Create(DIRECTINPUT_VERSION, g_pDI));
    if (!g_pDI)
        return;
    CheckResult(20, g_pDI->CreateDevice(GUID_SysKeyboard, g_pKeyboard));
    if (!g_pKeyboard)
        return;
    CheckResult(21, g_pKeyboard->SetDataFormat(&c_dfDIKeyboard));
    g_pKeyboard->Acquire();
}
