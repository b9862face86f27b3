#pragma once
// The sound menu's transport requests, carried out by the player window's own operations:
// the same ones its commands, keys and toolbar use.
class CLumarestView;

namespace desktop {

// Stopped or ended: plays the loaded file again from its start; paused: goes on;
// playing: nothing.
void Play(CLumarestView& view);
// Playing: pauses; otherwise nothing.
void Pause(CLumarestView& view);
void PlayPause(CLumarestView& view);
// Playing, paused or ended: stops, at the medium's start.
void Stop(CLumarestView& view);
// A rate of 0 or below pauses, as the sound menu asks; any other plays at it, held to the
// player's slowest and fastest speeds.
void SetRate(CLumarestView& view, double rate);

} // namespace desktop
