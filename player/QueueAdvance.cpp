#include "player/QueueAdvance.h"

TickResult NextTick(const TickInput& in) {
    TickResult out;
    out.elapsed = in.elapsed;
    if (in.paused)
        return out;
    out.counted = true;
    // A loaded machine plays slower than the clock: the medium's own position is the time.
    const bool positioned = in.duration > 0 && in.position >= 0;
    out.elapsed = positioned ? in.position : in.elapsed + 1;
    // A single opened file only moves on while its window has the focus;
    // a queue from the play list moves on regardless.
    if (!in.playing || (!in.queuePlaying && !in.hasFocus))
        return out;
    if (!(positioned && in.ended) && out.elapsed <= in.duration) {
        out.action = TickAction::ShowTime;
        return out;
    }
    const bool last = in.queueSize <= 0 || in.queueIndex >= in.queueSize - 1;
    out.action = last ? TickAction::EndQueue : TickAction::Advance;
    return out;
}
