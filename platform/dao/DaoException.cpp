#include "platform/dao/DaoException.h"

#include <sqlite3.h>

namespace {

int CodeOf(CDaoException::Kind kind) {
    switch (kind) {
    case CDaoException::Kind::NotADatabase:
        return SQLITE_NOTADB;
    case CDaoException::Kind::Locked:
        return SQLITE_BUSY;
    case CDaoException::Kind::PermissionDenied:
        return SQLITE_PERM;
    case CDaoException::Kind::ReadOnly:
        return SQLITE_READONLY;
    case CDaoException::Kind::NotFound:
        return SQLITE_NOTFOUND;
    case CDaoException::Kind::NotOpen:
        return SQLITE_MISUSE;
    case CDaoException::Kind::CannotOpen:
        return SQLITE_CANTOPEN;
    case CDaoException::Kind::Other:
        break;
    }
    return SQLITE_ERROR;
}

} // namespace

CDaoException::CDaoException(const QString& description, int sqliteCode)
    : m_strDescription(description), m_nSqliteCode(sqliteCode),
      m_strWhat(description.toStdString()) {}

CDaoException::CDaoException(const QString& description, Kind kind)
    : CDaoException(description, CodeOf(kind)) {}

CDaoException::Kind CDaoException::GetKind() const {
    switch (m_nSqliteCode & 0xff) { // the primary code of an extended one
    case SQLITE_NOTADB:
        return Kind::NotADatabase;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Locked;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Kind::PermissionDenied;
    case SQLITE_READONLY:
        return Kind::ReadOnly;
    case SQLITE_NOTFOUND:
        return Kind::NotFound;
    case SQLITE_MISUSE:
        return Kind::NotOpen;
    case SQLITE_CANTOPEN:
        return Kind::CannotOpen;
    default:
        return Kind::Other;
    }
}
