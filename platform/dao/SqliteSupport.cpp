#include "platform/dao/SqliteSupport.h"

#include "platform/dao/DaoException.h"

namespace lumarest::dao {

void ThrowDao(const QString& description, int sqliteCode) {
    throw CDaoException(description, sqliteCode);
}

void ThrowEngine(sqlite3* db, int rc) {
    QString text = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    if (text.isEmpty() || text == QLatin1String("not an error"))
        text = QString::fromUtf8(sqlite3_errstr(rc));
    throw CDaoException(text, rc);
}

StmtPtr Prepare(sqlite3* db, const QString& sql, bool persistent) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(db, utf8.constData(), static_cast<int>(utf8.size()) + 1,
                                      persistent ? SQLITE_PREPARE_PERSISTENT : 0, &raw, nullptr);
    StmtPtr stmt(raw);
    if (rc != SQLITE_OK)
        ThrowEngine(db, rc);
    if (!stmt)
        ThrowDao(QStringLiteral("The statement is empty."));
    return stmt;
}

void BindText(sqlite3_stmt* stmt, int index, const QByteArray& utf8) {
    sqlite3_bind_text64(stmt, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void StepToEnd(sqlite3* db, sqlite3_stmt* stmt) {
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(stmt);
    if (rc != SQLITE_DONE) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_reset(stmt);
        throw CDaoException(text, rc);
    }
    sqlite3_reset(stmt);
}

void ExecuteSql(sqlite3* db, const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &raw, &tail);
        StmtPtr stmt(raw);
        if (rc != SQLITE_OK)
            ThrowEngine(db, rc);
        if (stmt)
            StepToEnd(db, stmt.get());
    }
}

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace lumarest::dao
