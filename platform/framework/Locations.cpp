#include "platform/framework/Locations.h"

#include <QFileInfo>
#include <QUrl>

namespace {
bool IsFileUrl(const QString& location) {
    return location.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}
} // namespace

bool AfxIsStreamUrl(const QString& location) {
    const QUrl url(location, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("rtsp");
}

QString AfxFullPath(const QString& location) {
    if (location.isEmpty() || AfxIsStreamUrl(location))
        return location;
    if (IsFileUrl(location)) {
        const QUrl url(location);
        if (url.isLocalFile())
            return QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return QFileInfo(location).absoluteFilePath();
}

QString AfxDisplayName(const QString& location) {
    if (AfxIsStreamUrl(location)) {
        const QUrl url(location);
        const QString name = url.fileName();
        return name.isEmpty() ? url.host() : name;
    }
    return QFileInfo(location).fileName();
}
