#include "desktop/MprisProperties.h"

#include "desktop/CoverArt.h"
#include "player/PlaybackSpeed.h"

#include <QDBusObjectPath>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace desktop {

QString TrackIdOf(const PlayerSnapshot& s, quint64 serial) {
    if (!s.present || s.path.isEmpty())
        return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
    return QStringLiteral("/org/lumarest/Track/%1").arg(serial);
}

QString StatusText(PlaybackStatus status) {
    switch (status) {
    case PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap MetadataOf(const PlayerSnapshot& s, quint64 serial) {
    QVariantMap m;
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath(TrackIdOf(s, serial))));
    if (!s.present || s.path.isEmpty())
        return m;
    m.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(s.path).toString(QUrl::FullyEncoded));
    const media::MediumTags& tags = s.tags;
    m.insert(QStringLiteral("xesam:title"),
             tags.title.isEmpty() ? QFileInfo(s.path).fileName() : tags.title);
    if (!tags.artist.isEmpty())
        m.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.album.isEmpty())
        m.insert(QStringLiteral("xesam:album"), tags.album);
    if (tags.track > 0)
        m.insert(QStringLiteral("xesam:trackNumber"), static_cast<int>(tags.track));
    if (const QString art = CoverArtUrl(tags.cover, tags.coverType); !art.isEmpty())
        m.insert(QStringLiteral("mpris:artUrl"), art);
    if (s.lengthUs > 0)
        m.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(s.lengthUs));
    // Which of the medium's tracks play, in the program's own namespace.
    if (!s.soundTrack.isEmpty())
        m.insert(QStringLiteral("lumarest:soundTrack"), s.soundTrack);
    if (!s.subtitleTrack.isEmpty())
        m.insert(QStringLiteral("lumarest:subtitleTrack"), s.subtitleTrack);
    return m;
}

namespace {
constexpr int32_t kSilence = -10000;
} // namespace

double VolumeOf(const PlayerSnapshot& s) {
    if (s.volume <= kSilence)
        return 0.0;
    return std::pow(10.0, std::min<int32_t>(s.volume, 0) / 2000.0);
}

int32_t StoredVolumeOf(double volume) {
    if (!std::isfinite(volume) || volume <= 0.0)
        return kSilence;
    const double hundredths = 2000.0 * std::log10(std::min(volume, 1.0));
    return static_cast<int32_t>(std::max<long>(kSilence, std::lround(hundredths)));
}

QVariantMap PlayerProperties(const PlayerSnapshot& s, quint64 serial) {
    return {
        {QStringLiteral("PlaybackStatus"), StatusText(s.status)},
        {QStringLiteral("Metadata"), MetadataOf(s, serial)},
        {QStringLiteral("Volume"), VolumeOf(s)},
        {QStringLiteral("CanGoNext"), s.canGoNext},
        {QStringLiteral("CanGoPrevious"), false},
        {QStringLiteral("CanPlay"), s.canPlay},
        {QStringLiteral("CanPause"), s.canPause},
        {QStringLiteral("CanSeek"), s.canSeek},
        {QStringLiteral("CanControl"), true},
        {QStringLiteral("Rate"), s.rate},
        {QStringLiteral("MinimumRate"), kSlowestSpeed},
        {QStringLiteral("MaximumRate"), kFastestSpeed},
    };
}

QVariantMap ChangedProperties(const QVariantMap& before, const QVariantMap& now) {
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!before.contains(it.key()) || before.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    return changed;
}

QStringList SupportedMimeTypes() {
    return {
        QStringLiteral("application/ogg"), QStringLiteral("audio/aac"),
        QStringLiteral("audio/flac"),      QStringLiteral("audio/mp4"),
        QStringLiteral("audio/mpeg"),      QStringLiteral("audio/ogg"),
        QStringLiteral("audio/opus"),      QStringLiteral("audio/x-wav"),
        QStringLiteral("audio/webm"),      QStringLiteral("audio/x-matroska"),
        QStringLiteral("audio/x-ms-wma"),  QStringLiteral("video/mp4"),
        QStringLiteral("video/mpeg"),      QStringLiteral("video/ogg"),
        QStringLiteral("video/webm"),      QStringLiteral("video/x-matroska"),
        QStringLiteral("video/x-msvideo"), QStringLiteral("video/quicktime"),
        QStringLiteral("video/x-flv"),     QStringLiteral("video/x-ms-wmv"),
        QStringLiteral("image/png"),       QStringLiteral("image/jpeg"),
        QStringLiteral("image/gif"),       QStringLiteral("image/bmp"),
        QStringLiteral("image/tiff"),      QStringLiteral("image/webp"),
    };
}

} // namespace desktop
