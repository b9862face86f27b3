#pragma once
// What one tick of the player's counting timer does: whether it counts, and
// whether it then updates the time display, ends the queue or moves on to the
// next entry. A medium that can say where it is counts its own seconds, and its
// end of stream ends it; otherwise each tick is a second (a still image's tick is
// its slide). Plain data in, plain data out.

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
    int elapsed = 0;           // seconds counted before this one
    int duration = 0;          // whole seconds; 0 for a still image
    int position = -1;         // where the medium is, whole seconds; -1 when it cannot say
    bool ended = false;        // the medium has played to its end
    bool loops = false;        // the medium plays again at its end, and nothing follows it
    bool live = false;         // a stream without a length: it plays until it ends
    int queueIndex = 0;
    int queueSize = 0;
};

struct TickResult {
    bool counted = false; // elapsed (and the slider) moved on
    int elapsed = 0;
    TickAction action = TickAction::Nothing;
};

TickResult NextTick(const TickInput& in);

// The tick that ends this entry would play the next one: the window plays, may end it
// (a queue runs, or the window has the focus), and another entry follows.
bool MovesQueueOn(const TickInput& in);
// The medium has played past its end while nothing could end it (a single file whose
// window lacks the focus): it plays no more, though no tick has stopped it.
bool RanPastItsEnd(const TickInput& in);
