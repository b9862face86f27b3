#include "desktop/PlayerState.h"

#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "player/CLumarestView.h"

namespace desktop {
namespace {

// An entry that ran past its end plays no more: to the desktop it has stopped.
PlaybackStatus StatusOf(const CLumarestView& view) {
    switch (view.Status()) {
    case CLumarestView::PlayStatus::Playing:
    case CLumarestView::PlayStatus::Starting:
        return PlaybackStatus::Playing;
    case CLumarestView::PlayStatus::Paused:
        return PlaybackStatus::Paused;
    case CLumarestView::PlayStatus::Stopped:
    case CLumarestView::PlayStatus::Ended:
        break;
    }
    return PlaybackStatus::Stopped;
}

} // namespace

PlayerSnapshot SnapshotOf(const CLumarestView* view) {
    PlayerSnapshot s;
    if (!view)
        return s;
    s.present = true;
    s.status = StatusOf(*view);
    s.path = view->File();
    s.queueIndex = view->QueueIndex();
    s.lengthUs = view->LengthUs();
    s.positionUs = view->PositionUs();
    s.level = view->Level();
    s.volume = view->VolumeInForce();
    s.canPlay = view->HasGraph();
    s.canPause = view->HasGraph() && view->Status() != CLumarestView::PlayStatus::Stopped;
    s.canSeek = view->CanSeek();
    s.canGoNext = view->CanMoveQueueOn();
    s.rate = view->Speed();
    s.tags = view->Tags();
    if (!view->SoundTracks().empty())
        s.soundTrack = TrackLabel(view->SoundTracks(), view->SoundTrack());
    if (!view->SubtitleTracks().empty())
        s.subtitleTrack = TrackLabel(view->SubtitleTracks(), view->SubtitleTrack());
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
