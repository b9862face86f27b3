#include "platform/dao/StatementCache.h"

namespace lumarest::dao {

CachedStatement::CachedStatement(StatementCache* cache, SqlKey sql, StmtPtr stmt, bool keep)
    : m_cache(cache), m_sql(std::move(sql)), m_stmt(std::move(stmt)), m_keep(keep) {}

CachedStatement& CachedStatement::operator=(CachedStatement&& other) noexcept {
    if (this != &other) {
        Release();
        m_cache = other.m_cache;
        m_sql = std::move(other.m_sql);
        m_stmt = std::move(other.m_stmt);
        m_keep = other.m_keep;
        other.m_cache = nullptr;
    }
    return *this;
}

void CachedStatement::Release() {
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
    if (m_cache && m_keep)
        m_cache->Return(m_sql, std::move(m_stmt));
    m_stmt.reset();
    m_cache = nullptr;
}

const StatementCache::Entry* StatementCache::Find(const SqlKey& sql) const {
    for (const Recent& recent : m_recent) {
        if (recent.entry && recent.key == sql)
            return recent.entry;
    }
    const auto it = m_idle.find(sql);
    if (it == m_idle.end())
        return nullptr;
    Remember(it->first, &it->second);
    return &it->second;
}

StatementCache::Entry& StatementCache::FindOrAdd(const SqlKey& sql) {
    if (const Entry* entry = Find(sql))
        return const_cast<Entry&>(*entry);
    const auto it = m_idle.try_emplace(sql).first;
    Remember(it->first, &it->second);
    return it->second;
}

void StatementCache::Remember(const SqlKey& sql, const Entry* entry) const {
    m_recent[m_nextRecent] = Recent{entry, sql};
    m_nextRecent = (m_nextRecent + 1) % m_recent.size();
}

CachedStatement StatementCache::Acquire(const SqlKey& sql, bool keep) {
    if (const Entry* found = Find(sql); found && !found->statements.empty()) {
        Entry& entry = const_cast<Entry&>(*found);
        StmtPtr stmt = std::move(entry.statements.back());
        entry.statements.pop_back();
        return CachedStatement(this, sql, std::move(stmt), true);
    }
    return CachedStatement(this, sql, Prepare(m_db, sql.Text(), keep), keep);
}

void StatementCache::Return(const SqlKey& sql, StmtPtr stmt) {
    Entry& entry = FindOrAdd(sql);
    entry.lastUse = ++m_clock;
    if (entry.statements.size() < kMaxIdlePerText)
        entry.statements.push_back(std::move(stmt));
    if (m_idle.size() <= kMaxTexts)
        return;
    auto oldest = m_idle.begin();
    for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
        if (it->second.lastUse < oldest->second.lastUse)
            oldest = it;
    }
    for (Recent& recent : m_recent) {
        if (recent.entry == &oldest->second)
            recent = Recent{};
    }
    m_idle.erase(oldest);
}

} // namespace lumarest::dao
