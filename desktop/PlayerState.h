#pragma once
// What the desktop sees of a player window: the state the window announces of itself.
#include "platform/media/MediumTags.h"

#include <QString>

#include <cstdint>
#include <vector>

class CLumarestView;
class CMDIFrameWnd;

namespace desktop {

enum class PlaybackStatus { Stopped, Playing, Paused };

struct PlayerSnapshot {
    bool present = false; // there is a player window to follow
    PlaybackStatus status = PlaybackStatus::Stopped;
    QString path;         // the loaded file
    int queueIndex = 0;   // entry of the play queue that is loaded
    int64_t lengthUs = 0; // 0 for a still image
    int64_t positionUs = 0;
    int level = 100;    // the volume level the status bar shows, 0 to 100
    int32_t volume = 0; // the volume heard, hundredths of a decibel (0 full, -10000 silence)
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;
    bool canGoNext = false;
    double rate = 1.0;      // the speed it plays at
    media::MediumTags tags; // what the medium's tags say of it
    QString soundTrack;     // the labels of the tracks playing; empty when it has none
    QString subtitleTrack;

    bool operator==(const PlayerSnapshot&) const = default;
};

PlayerSnapshot SnapshotOf(const CLumarestView* view);

// Every player window's view, in the order the windows were opened.
std::vector<CLumarestView*> PlayerViews(const CMDIFrameWnd& frame);

} // namespace desktop
