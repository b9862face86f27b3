#pragma once
// The sound menu's transport requests carried out with a player window's own Play and
// Pause commands, so that a request does exactly what the user could do in the window.
class CLumarestView;

namespace desktop {

// Stopped or ended: plays the loaded file again from its start (the Play
// command); paused: goes on (the Pause command); playing: nothing.
void Play(CLumarestView& view);
// Playing: the Pause command; otherwise nothing.
void Pause(CLumarestView& view);
void PlayPause(CLumarestView& view);
// Playing, paused or ended: the Play command, which stops.
void Stop(CLumarestView& view);

} // namespace desktop
