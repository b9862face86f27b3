// What the player view tells others of itself (the desktop's media keys and sound
// menu follow it): its state read from the view, and the signals of what changed.
#include "player/CLumarestView.h"

#include "app/SharedState.h"
#include "player/CLumarestDoc.h"
#include "player/PlayerMath.h"

#include <QApplication>
#include <QPointer>

#include <utility>
#include <vector>

CLumarestView::PlayStatus CLumarestView::Status() const {
    if (m_bStarting)
        return PlayStatus::Starting;
    if (!m_bPlaying)
        return PlayStatus::Stopped;
    if (m_bPaused)
        return PlayStatus::Paused;
    return RanPastItsEnd(TickState()) ? PlayStatus::Ended : PlayStatus::Playing;
}

int64_t CLumarestView::PositionUs() const {
    LONGLONG position = 0;
    if (HasGraph() && m_pMS && SUCCEEDED(m_pMS->GetCurrentPosition(&position)))
        return position / 10;
    return 0;
}

int CLumarestView::Level() const {
    return VolumeLevel(m_lVolumeInForce);
}

namespace {
// The player windows, the one that last had the keyboard first.
std::vector<QPointer<CLumarestView>>& FocusOrder() {
    static std::vector<QPointer<CLumarestView>> order;
    return order;
}
} // namespace

void CLumarestView::ComesFirstInFocusOrder() {
    auto& order = FocusOrder();
    std::erase_if(order, [this](const QPointer<CLumarestView>& v) { return !v || v == this; });
    order.insert(order.begin(), this);
}

// One window's time and slider at a time: the status bar is shared by every player. While
// another program has the keyboard, the status bar stays with the window it will come back to.
bool CLumarestView::OwnsStatusBar() const {
    const QWidget* place = QApplication::focusWidget();
    if (!place && window())
        place = window()->focusWidget();
    if (HasKeyboardFocus() || IsKeyboardPlace(place))
        return true;
    const auto& order = FocusOrder();
    for (const QPointer<CLumarestView>& v : order)
        if (v && (v->HasKeyboardFocus() || v->IsKeyboardPlace(place)))
            return false;
    for (const QPointer<CLumarestView>& v : order)
        if (v && v->m_bPlaying && g_bQueuePlaying && v->RunsAQueue())
            return v == this;
    return false;
}

CLumarestView* CLumarestView::StatusBarOwner() {
    for (const QPointer<CLumarestView>& v : FocusOrder())
        if (v && v->OwnsStatusBar())
            return v.data();
    return nullptr;
}

// The keyboard is in the view, or in the window its picture covers the screen with.
bool CLumarestView::HoldsKeyboard() const {
    return HasKeyboardFocus() || IsKeyboardPlace(QApplication::focusWidget());
}

bool CLumarestView::IsKeyboardPlace(const QWidget* place) const {
    if (!place)
        return false;
    if (place == this || isAncestorOf(place))
        return true;
    const QWidget* picture = m_bFullScreen && m_pVW ? m_pVW->VideoWidget() : nullptr;
    return picture && picture->window() != window() && place->window() == picture->window();
}

// Whoever shows the medium's state hears of its end as it happens. An animation that asks
// to loop plays again while it is alone in its window, or shown as a slide (shorter than a
// second), whose slide delay ends it.
void CLumarestView::OnMediumEnded() {
    if (m_bStarting)
        return;
    const bool loops = m_pMS && m_pMS->LoopsForever() && (LoopsAlone() || m_nDuration == 0);
    if (loops && m_bPlaying && !m_bPaused) {
        LoopAgain();
        return;
    }
    m_resume.Ended();
    if (m_nDuration == 0 && m_wndSlider && m_bPlaying)
        ShowShortMediumEnded();
    AnnounceChanges();
}

// A sound shorter than a second ends before the first tick counts it: its slider goes to
// its end, and its time shows, as the end happens.
void CLumarestView::ShowShortMediumEnded() {
    SetSliderValue(m_wndSlider->maximum());
    m_nSliderPos = m_wndSlider->value();
    if (OwnsStatusBar())
        ShowTime(QString());
}

bool CLumarestView::LoopsAlone() const {
    const CLumarestDoc* doc = GetLumarestDoc();
    return m_pMS && m_pMS->LoopsForever() && (!doc || doc->m_arrPaths.size() <= 1);
}

// The time and the slider start the pass again with the picture.
void CLumarestView::LoopAgain() {
    LONGLONG start = 0;
    m_pMS->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    m_nElapsed = 0;
    if (m_wndSlider) {
        SetSliderValue(0);
        m_nSliderPos = 0; // moved by the view: no seek follows
    }
    if (OwnsStatusBar())
        ShowTime(QString());
    AnnounceChanges();
}

bool CLumarestView::ShowsMovingVideo() const {
    long visible = 0;
    if (!HasGraph() || !m_pVW || m_nDuration <= 0 || m_pVW->get_Visible(&visible) != S_OK)
        return false; // nothing, a still image, or sound only
    return Status() == PlayStatus::Playing;
}

// What one tick would go by, read now.
TickInput CLumarestView::TickState() const {
    const CLumarestDoc* doc = GetLumarestDoc();
    TickInput in;
    in.paused = m_bPaused;
    in.playing = m_bPlaying;
    in.queuePlaying = g_bQueuePlaying && RunsAQueue();
    in.hasFocus = HoldsKeyboard();
    in.elapsed = m_nElapsed;
    in.duration = m_nDuration;
    in.position = MediumSeconds();
    in.ended = m_pME && m_pME->HasEnded();
    in.loops = LoopsAlone();
    in.live = IsLive();
    in.queueIndex = m_nQueueIndex;
    in.queueSize = doc ? static_cast<int>(doc->m_arrPaths.size()) : 0;
    return in;
}

// Called after each command, key, tick and change of focus: those listening hear only
// of what changed.
void CLumarestView::AnnounceChanges() {
    Announced now;
    now.status = Status();
    now.file = m_strFile;
    now.lengthUs = LengthUs();
    now.canSeek = CanSeek();
    now.tags = m_tags;
    now.level = Level();
    now.volume = m_lVolumeInForce;
    now.queueIndex = m_nQueueIndex;
    now.canMoveOn = CanMoveQueueOn();
    const Announced before = std::exchange(m_announced, now);
    const bool mediumMoved = now.file != before.file || now.lengthUs != before.lengthUs ||
                             now.canSeek != before.canSeek || !(now.tags == before.tags);
    if (mediumMoved)
        emit mediumChanged();
    if (now.status != before.status)
        emit playbackChanged();
    if (mediumMoved || now.status != before.status)
        emit commandStatesChanged(); // Play and Pause show what the window does
    if (now.level != before.level || now.volume != before.volume)
        emit levelChanged(now.level);
    if (now.queueIndex != before.queueIndex || now.canMoveOn != before.canMoveOn)
        emit queueChanged();
}
