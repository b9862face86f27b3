// A long medium picks up where it was left: the view seeks there as the medium opens and
// says so in pane 0 for a few seconds; its position is kept while it plays and as the
// window closes or moves on.
#include "player/CLumarestView.h"

#include "player/PlayerTexts.h"

namespace {
constexpr int kNoteMs = 4000;
constexpr int64_t kMsPerUnit = 10'000; // 100-nanosecond units in a millisecond
} // namespace

// Before the medium runs: its first picture and sound are the ones where it was left.
void CLumarestView::ResumeWhereLeft() {
    EndNote();
    const std::optional<int64_t> at = m_resume.Opened(m_strFile, m_llDuration / kMsPerUnit);
    if (!at || !m_wndSlider || !m_pMS)
        return;
    SetSliderValue(static_cast<int>(*at / 1000));
    SeekToSlider(false);
    ShowNote(ResumedText(*at));
}

void CLumarestView::KeepPosition() {
    LONGLONG position = 0;
    if (m_pMS && SUCCEEDED(m_pMS->GetCurrentPosition(&position)))
        m_resume.Playing(position / kMsPerUnit);
}

// A stopped medium rests at its start: what was kept while it played stays.
void CLumarestView::KeepPositionAtClose() {
    if (!HasGraph())
        return;
    LONGLONG position = 0;
    std::optional<int64_t> at;
    if (m_bPlaying && m_pMS && SUCCEEDED(m_pMS->GetCurrentPosition(&position)))
        at = position / kMsPerUnit;
    m_resume.Closed(at, m_pME && m_pME->HasEnded());
}

bool CLumarestView::StartOver() {
    if (!CanSeek())
        return false;
    m_resume.Ended();
    return SeekTo(0);
}

// The ticks write the note instead of the time while it lasts; the slider makes room.
void CLumarestView::ShowNote(const QString& note) {
    m_strNote = note;
    SetTimer(kNoteTimer, kNoteMs);
    if (OwnsStatusBar())
        ShowTime(QString());
}

void CLumarestView::EndNote() {
    if (m_strNote.isEmpty())
        return;
    m_strNote.clear();
    KillTimer(kNoteTimer);
    if (OwnsStatusBar() && m_wndSlider)
        ShowTime(QString());
}
