#include "desktop/CoverArt.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace desktop {
namespace {

QString EndingOf(const QString& type) {
    if (type == QLatin1String("image/png"))
        return QStringLiteral(".png");
    if (type == QLatin1String("image/jpeg") || type == QLatin1String("image/jpg"))
        return QStringLiteral(".jpg");
    if (type == QLatin1String("image/gif"))
        return QStringLiteral(".gif");
    if (type == QLatin1String("image/webp"))
        return QStringLiteral(".webp");
    return QStringLiteral(".img");
}

} // namespace

QString CoverArtUrl(const QByteArray& picture, const QString& type, const QString& folder) {
    if (picture.isEmpty())
        return QString();
    const QString dir =
        (folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                          : folder) +
        QStringLiteral("/covers");
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex());
    const QString path = dir + QLatin1Char('/') + name + EndingOf(type);
    if (!QFile::exists(path)) {
        // Written whole or not at all: a reader never finds half a picture.
        QSaveFile file(path);
        if (!QDir().mkpath(dir) || !file.open(QIODevice::WriteOnly) ||
            file.write(picture) != picture.size() || !file.commit())
            return QString();
    }
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace desktop
