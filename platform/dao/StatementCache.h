#pragma once
// Prepared statements kept for reuse, keyed by their SQL text. A recordset opened
// once per imported file finds its statements ready instead of preparing them.
// Internal to the data-access layer.
#include "platform/dao/SqliteSupport.h"

#include <QHashFunctions>
#include <QString>
#include <array>
#include <unordered_map>
#include <vector>

namespace lumarest::dao {

class StatementCache;

// An SQL text with its hash, worked out once: the texts a recordset runs again
// and again are kept as keys, so that finding their statements costs no hashing.
class SqlKey {
public:
    SqlKey() = default;
    explicit SqlKey(QString text) : m_text(std::move(text)), m_hash(qHash(m_text)) {}

    const QString& Text() const { return m_text; }
    size_t Hash() const { return m_hash; }
    bool IsEmpty() const { return m_text.isEmpty(); }
    bool operator==(const SqlKey& other) const {
        // Texts that share their data are equal without comparing them.
        return m_hash == other.m_hash && m_text.size() == other.m_text.size() &&
               (m_text.constData() == other.m_text.constData() || m_text == other.m_text);
    }

private:
    QString m_text;
    size_t m_hash = 0;
};

// A statement on loan from the cache; it goes back, reset and unbound, when the
// loan ends. Must not outlive the cache (the database closes its recordsets first).
class CachedStatement {
public:
    CachedStatement() = default;
    CachedStatement(StatementCache* cache, SqlKey sql, StmtPtr stmt, bool keep);
    CachedStatement(CachedStatement&& other) noexcept = default;
    CachedStatement& operator=(CachedStatement&& other) noexcept;
    ~CachedStatement() { Release(); }

    sqlite3_stmt* get() const { return m_stmt.get(); }
    explicit operator bool() const { return m_stmt != nullptr; }
    void Release();

private:
    StatementCache* m_cache = nullptr;
    SqlKey m_sql;
    StmtPtr m_stmt;
    bool m_keep = false;
};

class StatementCache {
public:
    explicit StatementCache(sqlite3* db) : m_db(db) {}
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // keep = false for one-off texts: the statement is finalised after use.
    CachedStatement Acquire(const SqlKey& sql, bool keep = true);
    CachedStatement Acquire(const QString& sql, bool keep = true) {
        return Acquire(SqlKey(sql), keep);
    }
    // True when a statement of this text waits prepared (and so is known good).
    bool HasIdle(const SqlKey& sql) const {
        const Entry* entry = Find(sql);
        return entry && !entry->statements.empty();
    }
    // Drops the idle statements; statements on loan come back as usual.
    void Clear() {
        m_idle.clear();
        m_recent = {};
    }

private:
    friend class CachedStatement;
    struct Entry {
        std::vector<StmtPtr> statements;
        quint64 lastUse = 0;
    };
    struct KeyHash {
        size_t operator()(const SqlKey& key) const noexcept { return key.Hash(); }
    };
    static constexpr size_t kMaxTexts = 64;
    static constexpr size_t kMaxIdlePerText = 4;

    // The entries used last, found by comparing keys alone: a recordset opened
    // once per imported file takes and returns the same few statements each time.
    struct Recent {
        const Entry* entry = nullptr;
        SqlKey key;
    };
    const Entry* Find(const SqlKey& sql) const;
    Entry& FindOrAdd(const SqlKey& sql);
    void Remember(const SqlKey& sql, const Entry* entry) const;
    void Return(const SqlKey& sql, StmtPtr stmt);

    sqlite3* m_db;
    std::unordered_map<SqlKey, Entry, KeyHash> m_idle;
    mutable std::array<Recent, 4> m_recent;
    mutable size_t m_nextRecent = 0;
    quint64 m_clock = 0;
};

} // namespace lumarest::dao
