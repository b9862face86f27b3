// Moving through a medium's chapters: PgDown to the next, PgUp back, or straight to one
// chosen from the Player menu's list of them.
#include "player/CLumarestView.h"

#include "player/ChapterChoices.h"
#include "player/ChapterMarks.h"
#include "player/PlayerMath.h"
#include "res/Resource.h"

namespace {
// The slider counts whole seconds: the second that starts within the chapter.
int FirstSecondOf(int64_t start) {
    return static_cast<int>((start + kUnitsPerSecond - 1) / kUnitsPerSecond);
}
} // namespace

bool CLumarestView::StepChapter(bool forward) {
    if (!CanSeek() || !m_pMS)
        return false;
    LONGLONG position = 0;
    if (FAILED(m_pMS->GetCurrentPosition(&position)))
        return false;
    const std::vector<LONGLONG> chapters = m_pMS->GetChapters();
    const std::optional<int64_t> target =
        ChapterTarget(std::vector<int64_t>(chapters.begin(), chapters.end()), position, forward);
    return target && SeekTo(FirstSecondOf(*target));
}

bool CLumarestView::GoToChapter(int index) {
    const std::vector<LONGLONG> chapters =
        HasChapters() ? m_pMS->GetChapters() : std::vector<LONGLONG>{};
    if (index < 0 || index >= static_cast<int>(chapters.size()))
        return false;
    return SeekTo(FirstSecondOf(chapters[static_cast<size_t>(index)]));
}

void CLumarestView::InitChapterCommands() {
    const QPointer<CLumarestView> self(this);
    OnUpdateCommandUI(ID_PLAYER_CHAPTERS, [this, self](CCmdUI* ui) {
        if (!HasChapters())
            return;
        const std::vector<LONGLONG> chapters = m_pMS->GetChapters();
        const std::vector<QString> titles = m_pMS->GetChapterTitles();
        const int current = CurrentChapter({chapters.begin(), chapters.end()}, PositionUs() * 10);
        for (int i = 0; i < static_cast<int>(chapters.size()); ++i) {
            const auto at = static_cast<size_t>(i);
            ui->AddItem(ChapterLabel(at < titles.size() ? titles[at] : QString(), i, chapters[at]),
                        i == current, [self, i] {
                            if (self)
                                self->GoToChapter(i);
                        });
        }
    });
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
