#include "player/PlayerTexts.h"

#include "player/PlayerMath.h"

QString TimeText(int elapsed, int duration) {
    const int minutes = duration / 60;
    if (minutes < 10)
        return QString::asprintf(" Time:  %d / %d sec", elapsed, duration);
    return QString::asprintf(" Time:  %d / %d min", elapsed / 60, minutes);
}

QString LiveTimeText(int elapsed) {
    return QString::asprintf(" Time:  %d sec", elapsed);
}

QString WidestTimeText(int duration, QChar widestDigit) {
    return WithWidestDigits(TimeText(duration, duration), widestDigit);
}

QString WithWidestDigits(QString text, QChar widestDigit) {
    for (QChar& c : text)
        if (c.isDigit())
            c = widestDigit;
    return text;
}

QString VolumeText(int32_t volume) {
    return QString::asprintf(" %d", VolumeLevel(volume));
}

QString ResumedText(int64_t ms) {
    const int64_t seconds = ms / 1000;
    const int64_t hours = seconds / 3600;
    const auto minutes = static_cast<int>(seconds / 60 % 60);
    const auto rest = static_cast<int>(seconds % 60);
    if (hours > 0)
        return QString::asprintf(" Resumed at %d:%02d:%02d", static_cast<int>(hours), minutes,
                                 rest);
    return QString::asprintf(" Resumed at %d:%02d", minutes, rest);
}

QString SlideDelayStatusText(int delayMs) {
    return QString::asprintf("Slide's delay %.2f sec", delayMs / 1000.0);
}

QString UnsupportedFormatText() {
    return QStringLiteral("Unsupported file format.");
}

QString TagsToolTip(const QString& artist, const QString& title) {
    if (artist.isEmpty() || title.isEmpty())
        return artist.isEmpty() ? title : artist;
    return artist + QStringLiteral(" \u2013 ") + title;
}

QString FileNotFoundText(const QString& path) {
    return QStringLiteral("File not found: \"%1\"").arg(path);
}

namespace {
QString StreamFaultReason(media::StreamFailure failure) {
    using media::StreamFault;
    switch (failure.fault) {
    case StreamFault::ConnectionRefused:
        return QStringLiteral("connection refused");
    case StreamFault::HostNotFound:
        return QStringLiteral("host not found");
    case StreamFault::Unreachable:
        return QStringLiteral("network unreachable");
    case StreamFault::TimedOut:
        return QStringLiteral("timed out");
    case StreamFault::NotFound:
        return QStringLiteral("not found");
    case StreamFault::Denied:
        return QStringLiteral("access denied");
    case StreamFault::ServerError:
        return QStringLiteral("the server answered %1").arg(failure.httpStatus);
    case StreamFault::ConnectionLost:
        return QStringLiteral("connection lost");
    case StreamFault::None:
    case StreamFault::NotPlayable:
        break;
    }
    return QStringLiteral("nothing in it can be played");
}
} // namespace

QString StreamRefusedText(const QString& url, media::StreamFailure failure) {
    return QStringLiteral("Cannot open %1: %2").arg(url, StreamFaultReason(failure));
}
