#include "desktop/PlayerState.h"

#include "app/SharedState.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"

namespace desktop {
namespace {

// The level pane 2 shows: 100 at full volume, 0 at silence.
int LevelOf(const CLumarestView& view) {
    if (view.m_bSoundOff)
        return 0;
    return 100 - (-view.m_lVolume / 100);
}

int64_t PositionOf(const CLumarestView& view) {
    LONGLONG position = 0;
    if (view.HasGraph() && view.m_pMS && SUCCEEDED(view.m_pMS->GetCurrentPosition(&position)))
        return position / 10;
    return 0;
}

PlaybackStatus StatusOf(const CLumarestView& view) {
    if (view.m_bPlaying && view.m_bPaused)
        return PlaybackStatus::Paused;
    if (view.m_bPlaying && !HasEnded(view))
        return PlaybackStatus::Playing;
    return PlaybackStatus::Stopped;
}

} // namespace

// At its medium's end an entry whose queue goes on is still playing: the next tick moves on,
// and the screen is not let go between the two.
bool HasEnded(const CLumarestView& view) {
    if (!view.m_bPlaying || view.m_nDuration <= 0)
        return false;
    if (view.m_nElapsed > view.m_nDuration)
        return true;
    return view.m_pME && view.m_pME->HasEnded() && !CanMoveQueueOn(view);
}

bool ShowsMovingVideo(const CLumarestView& view) {
    if (!view.HasGraph() || !view.m_pVW || view.m_nDuration <= 0)
        return false;
    long visible = 0;
    if (view.m_pVW->get_Visible(&visible) != S_OK)
        return false; // sound only
    return view.m_bPlaying && !view.m_bPaused && !HasEnded(view);
}

bool CanMoveQueueOn(const CLumarestView& view) {
    const auto* doc = dynamic_cast<const CLumarestDoc*>(view.GetDocument());
    if (!doc || !view.m_bPlaying)
        return false;
    // The tick only ends an entry while a queue runs or while the window has the focus.
    if (!g_bQueuePlaying && !view.HasKeyboardFocus())
        return false;
    return view.m_nQueueIndex + 1 < static_cast<int>(doc->m_arrPaths.size());
}

PlayerSnapshot SnapshotOf(const CLumarestView* view) {
    PlayerSnapshot s;
    if (!view)
        return s;
    s.present = true;
    s.status = StatusOf(*view);
    s.path = view->m_strFile;
    s.queueIndex = view->m_nQueueIndex;
    s.lengthUs = view->HasGraph() ? view->m_llDuration / 10 : 0;
    s.positionUs = PositionOf(*view);
    s.level = LevelOf(*view);
    s.canPlay = view->HasGraph();
    s.canPause = view->HasGraph() && view->m_bPlaying;
    s.canSeek = view->HasGraph() && view->m_wndSlider && view->m_nDuration > 0;
    s.canGoNext = CanMoveQueueOn(*view);
    s.tags = view->Tags();
    return s;
}

std::vector<CLumarestView*> PlayerViews(const CMDIFrameWnd& frame) {
    std::vector<CLumarestView*> views;
    for (CMDIChildWnd* child : frame.ChildFrames())
        if (auto* view = dynamic_cast<CLumarestView*>(child->GetActiveView()))
            views.push_back(view);
    return views;
}

} // namespace desktop
