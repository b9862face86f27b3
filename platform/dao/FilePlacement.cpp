#include "platform/dao/FilePlacement.h"

#include "platform/dao/DaoException.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace lumarest::dao {

QString BuildingNameFor(const QString& path) {
    static QAtomicInteger<int> counter;
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".%1.building-%2-%3")
                                   .arg(info.fileName())
                                   .arg(::getpid())
                                   .arg(counter.fetchAndAddRelaxed(1)));
}

void PlaceNewFile(const QString& built, const QString& path) {
    const QByteArray from = QFile::encodeName(built);
    const QByteArray to = QFile::encodeName(path);
    // link(2) never replaces; where the file system has no hard links, a rename
    // that refuses to replace does the same.
    int result = ::link(from.constData(), to.constData());
    if (result != 0 && errno != EEXIST)
        result =
            ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    const int error = result == 0 ? 0 : errno;
    ::unlink(from.constData());
    if (error == EEXIST)
        throw CDaoException(QStringLiteral("Database already exists."), SQLITE_CANTOPEN);
    if (error != 0)
        throw CDaoException(QStringLiteral("Cannot create the database file '%1': %2")
                                .arg(path, QString::fromLocal8Bit(std::strerror(error))),
                            (error == EACCES || error == EPERM) ? SQLITE_PERM : SQLITE_CANTOPEN);
}

} // namespace lumarest::dao
