#pragma once
// The one exception type of the data-access layer: every engine error and every
// misuse the layer detects arrives as a CDaoException with a readable description.
#include <QString>
#include <exception>
#include <string>

class CDaoException : public std::exception {
public:
    CDaoException(const QString& description, int sqliteCode);

    const char* what() const noexcept override { return m_strWhat.c_str(); }

    QString m_strDescription; // human-readable, fit for a message box
    int m_nSqliteCode = 0;    // SQLite (extended) result code, SQLITE_ERROR for layer rules

private:
    std::string m_strWhat;
};
