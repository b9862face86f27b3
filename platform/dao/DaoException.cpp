#include "platform/dao/DaoException.h"

CDaoException::CDaoException(const QString& description, int sqliteCode)
    : m_strDescription(description), m_nSqliteCode(sqliteCode),
      m_strWhat(description.toStdString()) {}
