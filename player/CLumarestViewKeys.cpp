// The player view's keys, sound and focus: volume, slide-delay and transport keys,
// the Sound command's effect, muting while another window of the program has the
// focus, and the keyboard device that watches for Escape in full screen.
#include "player/CLumarestView.h"

#include "app/SharedState.h"
#include "platform/input/VirtualKeys.h"
#include "player/PlaybackSpeed.h"
#include "player/PlayerGlobals.h"
#include "player/PlayerMath.h"
#include "player/PlayerTexts.h"

#include <QGuiApplication>

#include <algorithm>

namespace {
constexpr int32_t kSilence = -10000;
constexpr unsigned kKeyM = 0x4D;
constexpr unsigned kKeyF = 0x46;
constexpr unsigned kKeyJ = 0x4A;
constexpr unsigned kKeyS = 0x53;
constexpr int kSeekStep = 5;      // seconds, Left and Right
constexpr int kLongSeekStep = 30; // with Shift
} // namespace

void CLumarestView::OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags) {
    if (m_bStarting)
        return; // a stream that is still starting: nothing to act on yet
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
            PutVolume(volume == kSilence ? m_lVolume : kSilence);
            ShowVolume();
        }
        break;
    case vk::VK_ADD:
    case vk::VK_SUBTRACT:
        g_nSlideDelay = SlideDelayAfterKey(nChar, g_nSlideDelay);
        SetPane(0, SlideDelayStatusText(g_nSlideDelay));
        break;
    // The transport keys of today's players.
    case vk::VK_SPACE:
        TogglePause();
        break;
    case vk::VK_LEFT:
    case vk::VK_RIGHT: {
        const int step =
            QGuiApplication::keyboardModifiers() & Qt::ShiftModifier ? kLongSeekStep : kSeekStep;
        SeekBy(nChar == vk::VK_LEFT ? -step : step);
        break;
    }
    case vk::VK_NEXT:
    case vk::VK_PRIOR:
        StepChapter(nChar == vk::VK_NEXT);
        break;
    case kKeyF:
        // In and out as the key goes down; a key held down does not flicker the screen.
        if (nRepCnt == 1)
            SetFullScreen(!m_bFullScreen);
        break;
    case vk::VK_ESCAPE:
        SetFullScreen(false);
        break;
    case vk::VK_NUMBER_SIGN:
        NextSoundTrack();
        break;
    case kKeyJ:
        NextSubtitleTrack();
        break;
    case vk::VK_OEM_4:
        SetSpeed(SlowerSpeed(m_dSpeed));
        break;
    case vk::VK_OEM_6:
        SetSpeed(FasterSpeed(m_dSpeed));
        break;
    case vk::VK_BACK:
        SetSpeed(1.0);
        break;
    case kKeyS:
        // Ctrl+S belongs to the frame's accelerators.
        if (nRepCnt == 1 &&
            !(QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            SavePicture(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
        break;
    case vk::VK_OEM_PERIOD:
    case vk::VK_OEM_COMMA:
        StepFrame(nChar == vk::VK_OEM_PERIOD);
        break;
    default:
        break;
    }
    AnnounceChanges();
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CLumarestView::SetLevel(int level) {
    SetStoredVolume(VolumeAtLevel(level));
}

// As the volume keys do: heard at once, whether or not the sound is off.
void CLumarestView::SetStoredVolume(int32_t volume) {
    ChangeVolume(std::clamp<int32_t>(volume, kSilence, 0));
    AnnounceChanges();
}

// The stored volume, heard at once and shown in pane 2.
void CLumarestView::ChangeVolume(int32_t volume) {
    m_lVolume = volume;
    PutVolume(m_lVolume);
    ShowVolume();
}

// Switching the sound off keeps the level now in force, to give it back later.
void CLumarestView::ApplySound() {
    long volume = m_lVolume;
    if (m_pBA)
        m_pBA->get_Volume(&volume);
    if (m_bSoundOff) {
        m_lVolume = static_cast<int32_t>(volume);
        PutVolume(kSilence);
    } else {
        PutVolume(m_lVolume);
    }
    ShowVolume();
}

void CLumarestView::OnSetFocus(QWidget* oldFocus) {
    CView::OnSetFocus(oldFocus);
    ComesFirstInFocusOrder();
    if (m_bFocusMuted)
        PutVolume(m_lVolumeInForce); // what the focus took away, stopped or not
    if (m_bPlaying) {
        if (m_pBA && !m_bSoundOff)
            PutVolume(m_lVolume);
        if (m_wndSlider)
            m_wndSlider->show();
        FillBackground();
        RedrawNow();
    }
    ShowVolume();
    AnnounceChanges(); // with the focus, this window's end may move its queue on
}

// Only one player is heard: the one with the focus. Leaving the program
// altogether (no new focus here) keeps it playing aloud.
void CLumarestView::OnKillFocus(QWidget* newFocus) {
    CView::OnKillFocus(newFocus);
    if (!m_bFullScreen) {
        ShowTime(QStringLiteral(" "));
        if (newFocus && m_pBA && m_bPlaying)
            MuteForFocus();
    }
    // A queue playing on in another window may take the status bar over.
    if (CLumarestView* owner = StatusBarOwner(); owner && owner != this)
        owner->ShowVolume();
    AnnounceChanges();
}

// What the user set is put on the graph; it is what the window says it plays at.
void CLumarestView::PutVolume(int32_t volume) {
    m_lVolumeInForce = volume;
    m_bFocusMuted = false;
    if (m_pBA)
        m_pBA->put_Volume(volume);
}

// Not the user's setting: the level in force comes back with the focus.
void CLumarestView::MuteForFocus() {
    m_bFocusMuted = true;
    if (m_pBA)
        m_pBA->put_Volume(kSilence);
}

// The level heard: the stored volume's, or 0 while silenced; the speed beside it.
void CLumarestView::ShowVolume() {
    if (OwnsStatusBar())
        SetPane(2, VolumeText(m_lVolumeInForce));
    ShowSpeed();
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
