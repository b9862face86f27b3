#include "player/TrackChoices.h"

#include <QLocale>

#include <algorithm>

QString LanguageName(const QString& code) {
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("und"), Qt::CaseInsensitive) == 0)
        return {};
    const QLocale::Language language = QLocale::codeToLanguage(trimmed.toLower());
    if (language == QLocale::AnyLanguage || language == QLocale::C)
        return trimmed;
    return QLocale::languageToString(language);
}

QString TrackLabel(const media::TrackTags& tags, int index) {
    const QString language = LanguageName(tags.language);
    const QString title = tags.title.trimmed();
    if (!language.isEmpty() && !title.isEmpty() && title != language)
        return language + QStringLiteral(" \u2013 ") + title;
    if (!language.isEmpty())
        return language;
    if (!title.isEmpty())
        return title;
    return QStringLiteral("Track %1").arg(index + 1);
}

std::vector<TrackChoice> TrackChoices(const std::vector<media::TrackTags>& tracks) {
    std::vector<TrackChoice> choices;
    for (int i = 0; i < static_cast<int>(tracks.size()); ++i)
        choices.push_back({i, TrackLabel(tracks[static_cast<size_t>(i)], i)});
    return choices;
}

int NextTrack(int current, int count, bool withNone) {
    if (count <= 0)
        return withNone ? kNoTrack : current;
    if (current < 0 || current >= count)
        return 0;
    if (current + 1 < count)
        return current + 1;
    return withNone ? kNoTrack : 0;
}

QString TrackLabel(const std::vector<TrackChoice>& tracks, int current) {
    const auto chosen = std::find_if(tracks.begin(), tracks.end(), [current](const TrackChoice& t) {
        return t.index == current;
    });
    return chosen != tracks.end() ? chosen->label : QStringLiteral("None");
}

QString TrackNoteText(const QString& kind, const std::vector<TrackChoice>& tracks, int current) {
    return QStringLiteral(" %1: %2").arg(kind, TrackLabel(tracks, current));
}
