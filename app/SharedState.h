#pragma once
// Process-wide values of the user-interface thread, shared by the windows of
// the program. Nothing else touches them, so nothing guards them.

// Where the player's position slider goes, in status-bar coordinates.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const RECT&) const = default;
};

extern int g_nSlideDelay;    // milliseconds a still image stays; 1000 at every start
extern bool g_bQueuePlaying; // a play queue started from the play list is running
extern bool g_bImportOnOpen; // opening a file imports its folder
extern RECT g_rcSlider;      // written by the main frame on every resize
extern int g_nSortColumn;    // column of the play-list sort in progress
extern bool g_bSortFlag;     // direction flag, flipped after every sort
