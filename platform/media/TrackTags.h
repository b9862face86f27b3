// A sound or subtitle track of a medium as its tags describe it; empty where they say nothing.
#pragma once

#include <QString>

namespace media {

struct TrackTags {
    QString language; // an ISO 639 code, as the tags give it
    QString title;

    bool operator==(const TrackTags&) const = default;
};

} // namespace media
