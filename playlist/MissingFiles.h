#pragma once
// Which catalogued files are no longer on disk, asked of the file system once per path
// and remembered until forgotten (when the play list is filled again).
#include <QHash>
#include <QString>

namespace playlist {

class MissingFiles {
public:
    bool IsMissing(const QString& path);
    void Forget() { m_known.clear(); }

private:
    QHash<QString, bool> m_known;
};

} // namespace playlist
