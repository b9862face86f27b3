#pragma once
// The desktop's requests (media keys, the sound menu) carried out on a player
// window with the window's own commands, keys and timer, so that a request
// does exactly what the user could do in the window.
#include <cstdint>

class CLumarestView;

namespace desktop {

// Stopped or ended: plays the loaded file again from its start (the Play
// command); paused: goes on (the Pause command); playing: nothing.
void Play(CLumarestView& view);
// Playing: the Pause command; otherwise nothing.
void Pause(CLumarestView& view);
void PlayPause(CLumarestView& view);
// Playing or paused: the Play command, which stops.
void Stop(CLumarestView& view);
// Ends the playing entry of a running queue as the counting tick does, which
// loads and plays the next one. False when there is no next entry to go to.
bool Next(CLumarestView& view);
// Brings the volume to level (0 to 100) with the volume keys.
void SetLevel(CLumarestView& view, int level);
// Moves the position slider to the second of positionUs, which seeks as a drag does.
// False when the medium cannot seek.
bool SeekTo(CLumarestView& view, int64_t positionUs);

} // namespace desktop
