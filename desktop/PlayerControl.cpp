#include "desktop/PlayerControl.h"

#include "player/CLumarestView.h"

namespace desktop {
namespace {
using Status = CLumarestView::PlayStatus;
} // namespace

void Play(CLumarestView& view) {
    if (!view.HasGraph())
        return;
    switch (view.Status()) {
    case Status::Paused:
        view.OnPlayerPause();
        break;
    case Status::Ended:
        view.OnPlayerPlay(); // stops first, as a user pressing Play twice
        view.OnPlayerPlay();
        break;
    case Status::Stopped:
        view.OnPlayerPlay();
        break;
    case Status::Playing:
        break;
    }
}

void Pause(CLumarestView& view) {
    if (view.Status() == Status::Playing)
        view.OnPlayerPause();
}

void PlayPause(CLumarestView& view) {
    if (view.Status() == Status::Playing)
        view.OnPlayerPause();
    else
        Play(view);
}

void Stop(CLumarestView& view) {
    if (view.Status() != Status::Stopped)
        view.OnPlayerPlay();
}

} // namespace desktop
