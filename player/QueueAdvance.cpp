#include "player/QueueAdvance.h"

TickResult NextTick(const TickInput& in) {
    TickResult out;
    out.elapsed = in.elapsed;
    if (in.paused)
        return out;
    out.counted = true;
    out.elapsed = in.elapsed + 1;
    // A single opened file only moves on while its window has the focus;
    // a queue from the play list moves on regardless.
    if (!in.playing || (!in.queuePlaying && !in.hasFocus))
        return out;
    if (out.elapsed <= in.duration) {
        out.action = TickAction::ShowTime;
        return out;
    }
    const bool last = in.queueSize <= 0 || in.queueIndex >= in.queueSize - 1;
    out.action = last ? TickAction::EndQueue : TickAction::Advance;
    return out;
}
