#include "desktop/PlayerWatch.h"

#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "player/CLumarestView.h"

#include <algorithm>

namespace desktop {
namespace {

PlayerSnapshot WithoutPosition(PlayerSnapshot s) {
    s.positionUs = 0;
    return s;
}

} // namespace

PlayerWatch::PlayerWatch(CMDIFrameWnd& frame, QObject* parent) : QObject(parent), m_frame(&frame) {
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PlayerWatch::Refresh);
    m_timer.start();
    Refresh();
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
    // A player starting its next medium is half-built: what it shows is settled once it has.
    if (std::any_of(views.begin(), views.end(),
                    [](const CLumarestView* v) { return v->IsStartingMedium(); }))
        return;
    const PlayerSnapshot now = SnapshotOf(ActivePlayer());
    const bool snapshotChanged = WithoutPosition(now) != WithoutPosition(m_snapshot);
    m_snapshot = now;

    const bool video = std::any_of(views.begin(), views.end(),
                                   [](const CLumarestView* v) { return ShowsMovingVideo(*v); });
    const bool videoChanged = video != m_video;
    m_video = video;

    if (snapshotChanged)
        emit changed(m_snapshot);
    if (videoChanged)
        emit videoShowingChanged(m_video);
}

} // namespace desktop
