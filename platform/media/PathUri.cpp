#include "platform/media/PathUri.h"

#include "platform/media/GstPtr.h"

#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace media {

std::string uriForPath(const std::wstring& path) {
    if (path.empty()) {
        return {};
    }
    // The file system's own bytes for the name, so no character is lost on the way.
    const QByteArray local = QFile::encodeName(QString::fromStdWString(path));
    GstPtr<gchar> uri(gst_filename_to_uri(local.constData(), nullptr));
    return uri ? std::string(uri.get()) : std::string();
}

bool mayOpenWithoutWaiting(const std::wstring& path) {
    struct stat st {};
    if (stat(QFile::encodeName(QString::fromStdWString(path)).constData(), &st) != 0) {
        return true;
    }
    return S_ISREG(st.st_mode);
}

} // namespace media
