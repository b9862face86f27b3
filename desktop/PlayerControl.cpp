#include "desktop/PlayerControl.h"

#include "desktop/PlayerState.h"
#include "platform/input/VirtualKeys.h"
#include "player/CLumarestView.h"

#include <algorithm>

namespace desktop {
namespace {
constexpr int kMaxLevel = 100;
} // namespace

void Play(CLumarestView& view) {
    if (!view.HasGraph())
        return;
    if (view.m_bPlaying && view.m_bPaused) {
        view.OnPlayerPause();
        return;
    }
    if (HasEnded(view))
        view.OnPlayerPlay(); // stops first, as a user pressing Play twice
    if (!view.m_bPlaying)
        view.OnPlayerPlay();
}

void Pause(CLumarestView& view) {
    if (view.m_bPlaying && !view.m_bPaused && !HasEnded(view))
        view.OnPlayerPause();
}

void PlayPause(CLumarestView& view) {
    if (view.m_bPlaying && !view.m_bPaused && !HasEnded(view))
        view.OnPlayerPause();
    else
        Play(view);
}

void Stop(CLumarestView& view) {
    if (view.m_bPlaying)
        view.OnPlayerPlay();
}

bool Next(CLumarestView& view) {
    if (!CanMoveQueueOn(view))
        return false;
    if (view.m_bPaused)
        view.OnPlayerPause(); // a paused window's tick counts nothing
    // The next tick finds the entry's seconds used up and moves the queue on.
    view.m_nElapsed = view.m_nDuration;
    view.OnTimer(CLumarestView::kTickTimer);
    return true;
}

void SetLevel(CLumarestView& view, int level) {
    level = std::clamp(level, 0, kMaxLevel);
    if (level == kMaxLevel) {
        view.OnKeyDown(vk::VK_HOME, 1, 0);
        return;
    }
    if (level == 0) {
        view.OnKeyDown(vk::VK_END, 1, 0);
        return;
    }
    // One key press moves the level by one; a press that changes nothing ends the walk.
    for (int presses = 0; presses <= kMaxLevel; ++presses) {
        const int now = 100 - (-view.m_lVolume / 100);
        if (now == level)
            return;
        const int32_t before = view.m_lVolume;
        view.OnKeyDown(now < level ? vk::VK_UP : vk::VK_DOWN, 1, 0);
        if (view.m_lVolume == before)
            return;
    }
}

bool SeekTo(CLumarestView& view, int64_t positionUs) {
    if (!view.HasGraph() || !view.m_wndSlider || view.m_nDuration <= 0)
        return false;
    const auto second =
        static_cast<int>(std::clamp<int64_t>(positionUs / 1000000, 0, view.m_nDuration));
    view.m_wndSlider->setValue(second); // the slider's timer takes it as a drag and seeks
    return true;
}

} // namespace desktop
