// Moving through a medium's chapters: PgDown to the next, PgUp back.
#include "player/CLumarestView.h"

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
