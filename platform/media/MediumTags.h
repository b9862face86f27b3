#pragma once
// What a medium says about itself in its tags: title, artist, album, track number
// and an embedded cover picture. Empty where it says nothing.
#include <QByteArray>
#include <QString>

namespace media {

struct MediumTags {
    QString title;
    QString artist;
    QString album;
    unsigned track = 0;
    QByteArray cover;  // the picture's file as embedded (JPEG, PNG...)
    QString coverType; // its media type, "image/jpeg"

    bool operator==(const MediumTags&) const = default;
};

} // namespace media
