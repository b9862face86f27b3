// Moving through a medium's chapters: PgDown to the next, PgUp back.
#include "player/CLumarestView.h"

#include "player/ChapterMarks.h"
#include "player/PlayerMath.h"

bool CLumarestView::StepChapter(bool forward) {
    if (!CanSeek() || !m_pMS)
        return false;
    LONGLONG position = 0;
    if (FAILED(m_pMS->GetCurrentPosition(&position)))
        return false;
    const std::vector<LONGLONG> chapters = m_pMS->GetChapters();
    const std::optional<int64_t> target =
        ChapterTarget(std::vector<int64_t>(chapters.begin(), chapters.end()), position, forward);
    // The slider counts whole seconds: the second that starts within the chapter.
    return target && SeekTo(static_cast<int>((*target + kUnitsPerSecond - 1) / kUnitsPerSecond));
}

bool CLumarestView::HasChapters() const {
    return CanSeek() && m_pMS && !m_pMS->GetChapters().empty();
}

// The slider, just made for the medium, shows where its chapters start.
void CLumarestView::ShowChapterMarks() {
    if (!m_wndSlider || !m_pMS || m_nDuration <= 0)
        return;
    std::vector<int> values;
    for (const LONGLONG start : m_pMS->GetChapters())
        values.push_back(static_cast<int>(start / kUnitsPerSecond));
    if (!values.empty())
        new ChapterMarks(m_wndSlider.data(), std::move(values)); // a child of the slider
}
