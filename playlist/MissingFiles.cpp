#include "playlist/MissingFiles.h"

#include <QFileInfo>

namespace playlist {

bool MissingFiles::IsMissing(const QString& path) {
    auto it = m_known.constFind(path);
    if (it == m_known.constEnd())
        it = m_known.insert(path, !QFileInfo::exists(path));
    return it.value();
}

} // namespace playlist
