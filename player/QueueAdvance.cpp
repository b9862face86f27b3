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
    // A looping medium alone in its window ends only when the user stops it.
    if (in.loops) {
        out.action = in.duration > 0 ? TickAction::ShowTime : TickAction::Nothing;
        return out;
    }
    // A stream without a length runs on until it ends; any other medium until its length.
    const bool runsOn =
        in.live ? !in.ended : !(positioned && in.ended) && out.elapsed <= in.duration;
    if (runsOn) {
        out.action = TickAction::ShowTime;
        return out;
    }
    out.action = MovesQueueOn(in) ? TickAction::Advance : TickAction::EndQueue;
    return out;
}

bool MovesQueueOn(const TickInput& in) {
    const bool mayEnd = in.playing && (in.queuePlaying || in.hasFocus);
    return mayEnd && in.queueIndex + 1 < in.queueSize;
}

// At its medium's end an entry whose queue goes on is still playing: the next tick moves on.
bool RanPastItsEnd(const TickInput& in) {
    if (!in.playing || in.duration <= 0 || in.loops)
        return false;
    return in.elapsed > in.duration || (in.ended && !MovesQueueOn(in));
}
