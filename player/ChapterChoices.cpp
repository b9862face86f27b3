#include "player/ChapterChoices.h"

#include "player/PlayerMath.h"

#include <algorithm>

QString ChapterLabel(const QString& title, int index, int64_t start) {
    const QString name = title.trimmed().isEmpty()
                             ? QStringLiteral("Chapter %1").arg(index + 1)
                             : title.trimmed().replace(QLatin1Char('&'), QStringLiteral("&&"));
    const int64_t seconds = std::max<int64_t>(start, 0) / kUnitsPerSecond;
    const auto hours = static_cast<int>(seconds / 3600);
    const auto minutes = static_cast<int>(seconds / 60 % 60);
    const auto rest = static_cast<int>(seconds % 60);
    const QString time = hours > 0 ? QString::asprintf("%d:%02d:%02d", hours, minutes, rest)
                                   : QString::asprintf("%d:%02d", minutes, rest);
    return name + QLatin1Char('\t') + time;
}

int CurrentChapter(const std::vector<int64_t>& starts, int64_t position) {
    const auto after = std::upper_bound(starts.begin(), starts.end(), position);
    return static_cast<int>(after - starts.begin()) - 1;
}
