#include "desktop/PlayerControl.h"

#include "player/CLumarestView.h"

namespace desktop {

void Play(CLumarestView& view) {
    view.StartPlaying();
}

void Pause(CLumarestView& view) {
    view.PausePlaying();
}

void PlayPause(CLumarestView& view) {
    if (view.Status() == CLumarestView::PlayStatus::Playing)
        view.PausePlaying();
    else
        view.StartPlaying();
}

void Stop(CLumarestView& view) {
    view.StopPlaying();
}

void SetRate(CLumarestView& view, double rate) {
    if (rate <= 0.0)
        view.PausePlaying();
    else
        view.SetSpeed(rate);
}

} // namespace desktop
