#pragma once
// The one exception type of the data-access layer: every engine error and every
// misuse the layer detects arrives as a CDaoException with a readable description.
#include <QString>
#include <exception>
#include <string>

class CDaoException : public std::exception {
public:
    // The few kinds of failure callers tell apart; the engine's code says more.
    enum class Kind {
        Other,
        NotADatabase,     // the file is something else
        Locked,           // another connection holds it
        PermissionDenied, // the system refuses access
        ReadOnly,         // it cannot be written
        NotFound,         // no such record (an empty table has no last record)
        NotOpen,          // used before it was opened
        CannotOpen,       // the file cannot be opened or made
    };

    CDaoException(const QString& description, int sqliteCode);
    CDaoException(const QString& description, Kind kind);

    Kind GetKind() const;

    const char* what() const noexcept override { return m_strWhat.c_str(); }

    QString m_strDescription; // human-readable, fit for a message box
    int m_nSqliteCode = 0;    // SQLite (extended) result code, SQLITE_ERROR for layer rules

private:
    std::string m_strWhat;
};
