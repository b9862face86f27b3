#include "platform/media/SubtitleFiles.h"

#include "platform/media/PathUri.h"

#include <QDir>
#include <QFileInfo>

namespace media {

std::string subtitleUriBeside(const std::wstring& path) {
    const QFileInfo video(QString::fromStdWString(path));
    const QString stem = video.dir().filePath(video.completeBaseName()) + QLatin1Char('.');
    for (const char* ending : {"srt", "ass", "ssa", "vtt"}) {
        const QString lower = QString::fromLatin1(ending);
        for (const QString& candidate : {stem + lower, stem + lower.toUpper()}) {
            if (QFileInfo(candidate).isFile()) {
                return uriForPath(candidate.toStdWString());
            }
        }
    }
    return {};
}

} // namespace media
