#include "desktop/PlayerWatch.h"

#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "player/CLumarestView.h"

#include <QMdiArea>

#include <algorithm>

namespace desktop {
namespace {

PlayerSnapshot WithoutPosition(PlayerSnapshot s) {
    s.positionUs = 0;
    return s;
}

} // namespace

PlayerWatch::PlayerWatch(CMDIFrameWnd& frame, QObject* parent) : QObject(parent), m_frame(&frame) {
    for (CMDIChildWnd* child : frame.ChildFrames())
        Follow(child);
    connect(&frame, &CMDIFrameWnd::childFrameAdded, this, &PlayerWatch::Follow);
    if (QMdiArea* area = frame.GetMdiArea())
        connect(area, &QMdiArea::subWindowActivated, this, &PlayerWatch::Refresh);
    Refresh();
}

// A player window's view comes with its frame, before it plays anything.
void PlayerWatch::Follow(CMDIChildWnd* child) {
    auto* view = child ? dynamic_cast<CLumarestView*>(child->GetActiveView()) : nullptr;
    if (!view)
        return;
    for (auto change : {&CLumarestView::playbackChanged, &CLumarestView::mediumChanged,
                        &CLumarestView::queueChanged, &CLumarestView::speedChanged,
                        &CLumarestView::tracksChanged})
        connect(view, change, this, &PlayerWatch::Refresh);
    connect(view, &CLumarestView::levelChanged, this, &PlayerWatch::Refresh);
    connect(view, &CLumarestView::seeked, this, [this, view](qint64 positionUs) {
        Refresh();
        if (view == ActivePlayer())
            emit seeked(positionUs);
    });
    // Once the window has gone: looked at after its frame went with it.
    connect(view, &QObject::destroyed, this, &PlayerWatch::Refresh, Qt::QueuedConnection);
}

CLumarestView* PlayerWatch::ActivePlayer() {
    if (!m_frame)
        return nullptr;
    if (CMDIChildWnd* child = m_frame->MDIGetActive())
        if (auto* view = dynamic_cast<CLumarestView*>(child->GetActiveView()))
            m_last = view;
    if (!m_last) {
        const std::vector<CLumarestView*> views = PlayerViews(*m_frame);
        if (!views.empty())
            m_last = views.back();
    }
    return m_last;
}

void PlayerWatch::Refresh() {
    const std::vector<CLumarestView*> views =
        m_frame ? PlayerViews(*m_frame) : std::vector<CLumarestView*>();
    // A player starting its next medium is half-built: it announces itself once it has.
    if (std::any_of(views.begin(), views.end(),
                    [](const CLumarestView* v) { return v->IsStartingMedium(); }))
        return;
    const PlayerSnapshot now = SnapshotOf(ActivePlayer());
    const bool snapshotChanged = WithoutPosition(now) != WithoutPosition(m_snapshot);
    m_snapshot = now;

    const bool video = std::any_of(views.begin(), views.end(),
                                   [](const CLumarestView* v) { return v->ShowsMovingVideo(); });
    const bool videoChanged = video != m_video;
    m_video = video;

    if (snapshotChanged)
        emit changed(m_snapshot);
    if (videoChanged)
        emit videoShowingChanged(m_video);
}

} // namespace desktop
