#pragma once
// Prepared statements kept for reuse, keyed by their SQL text. A recordset opened
// once per imported file finds its statements ready instead of preparing them.
// Internal to the data-access layer.
#include "platform/dao/SqliteSupport.h"

#include <QHashFunctions>
#include <QString>
#include <unordered_map>
#include <vector>

namespace lumarest::dao {

class StatementCache;

// A statement on loan from the cache; it goes back, reset and unbound, when the
// loan ends. Must not outlive the cache (the database closes its recordsets first).
class CachedStatement {
public:
    CachedStatement() = default;
    CachedStatement(StatementCache* cache, QString sql, StmtPtr stmt, bool keep);
    CachedStatement(CachedStatement&& other) noexcept = default;
    CachedStatement& operator=(CachedStatement&& other) noexcept;
    ~CachedStatement() { Release(); }

    sqlite3_stmt* get() const { return m_stmt.get(); }
    explicit operator bool() const { return m_stmt != nullptr; }
    void Release();

private:
    StatementCache* m_cache = nullptr;
    QString m_sql;
    StmtPtr m_stmt;
    bool m_keep = false;
};

class StatementCache {
public:
    explicit StatementCache(sqlite3* db) : m_db(db) {}
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // keep = false for one-off texts: the statement is finalised after use.
    CachedStatement Acquire(const QString& sql, bool keep = true);
    void Clear() { m_idle.clear(); }

private:
    friend class CachedStatement;
    struct Entry {
        std::vector<StmtPtr> statements;
        quint64 lastUse = 0;
    };
    static constexpr size_t kMaxTexts = 64;

    void Return(const QString& sql, StmtPtr stmt);

    sqlite3* m_db;
    struct TextHash {
        size_t operator()(const QString& text) const noexcept { return qHash(text); }
    };
    std::unordered_map<QString, Entry, TextHash> m_idle;
    quint64 m_clock = 0;
};

} // namespace lumarest::dao
