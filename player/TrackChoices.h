#pragma once
// The sound and subtitle tracks as a player window offers them: each by its place among the
// medium's tracks and a label made from its tags, apart from any window so that the labels
// can be checked on their own.
#include "platform/media/TrackTags.h"

#include <QString>

#include <vector>

struct TrackChoice {
    int index = -1; // among the medium's tracks of its kind
    QString label;

    bool operator==(const TrackChoice&) const = default;
};

// The index that stands for no subtitles.
constexpr int kNoTrack = -1;

// A language's English name from its ISO 639 code ("fr", "fra" or "fre": "French"); the code
// as it is when no language has it; empty for none or an undetermined one ("und").
QString LanguageName(const QString& code);
// "French – Commentary", the one of the two there is, or "Track 2" for the second track of
// an untagged medium.
QString TrackLabel(const media::TrackTags& tags, int index);
std::vector<TrackChoice> TrackChoices(const std::vector<media::TrackTags>& tracks);
// The track after current among count tracks, round again after the last; with none, the
// round passes through kNoTrack after the last.
int NextTrack(int current, int count, bool withNone);

// The label of the track of that index; "None" when none of them has it.
QString TrackLabel(const std::vector<TrackChoice>& tracks, int current);
// The status bar's note after a key chose a track: "Sound: English", "Subtitles: None".
QString TrackNoteText(const QString& kind, const std::vector<TrackChoice>& tracks, int current);
