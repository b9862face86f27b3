#pragma once
// What one tick of the player's counting timer does: whether it counts, and
// whether it then updates the time display, ends the queue or moves on to the
// next entry. Plain data in, plain data out.

enum class TickAction {
    Nothing,  // paused, stopped, or a single file whose window lacks the focus
    ShowTime, // the entry goes on: refresh the time display
    EndQueue, // the last entry has ended: stop and rewind the queue
    Advance,  // the entry has ended and another follows: play it
};

struct TickInput {
    bool paused = false;
    bool playing = false;
    bool queuePlaying = false; // a queue started from the play list runs
    bool hasFocus = false;     // the view holds the keyboard focus
    int elapsed = 0;           // ticks counted before this one
    int duration = 0;          // whole seconds; 0 for a still image
    int queueIndex = 0;
    int queueSize = 0;
};

struct TickResult {
    bool counted = false; // elapsed (and the slider) moved on by one
    int elapsed = 0;
    TickAction action = TickAction::Nothing;
};

TickResult NextTick(const TickInput& in);
