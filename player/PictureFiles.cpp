#include "player/PictureFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString PictureName(const QString& mediumPath, int64_t positionUs) {
    const int64_t ms = std::max<int64_t>(positionUs, 0) / 1000;
    const auto hours = static_cast<int>(ms / 3'600'000);
    const auto minutes = static_cast<int>(ms / 60'000 % 60);
    const auto seconds = static_cast<int>(ms / 1000 % 60);
    const auto rest = static_cast<int>(ms % 1000);
    return QFileInfo(mediumPath).completeBaseName() +
           QString::asprintf(" %02d-%02d-%02d.%03d", hours, minutes, seconds, rest);
}

QString FreePicturePath(const QString& folder, const QString& name) {
    const QDir dir(folder);
    QString path = dir.filePath(name + QStringLiteral(".png"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).png").arg(name).arg(n));
    return path;
}

QString PictureSavedText(const QString& path) {
    return QStringLiteral(" Picture saved as %1").arg(QFileInfo(path).fileName());
}

QString NoPictureText() {
    return QStringLiteral(" No picture to save");
}

QString PictureNotSavedText(const QString& path) {
    return QStringLiteral(" Cannot save the picture as %1").arg(path);
}
