#include "platform/dao/PositionStore.h"

#include "platform/dao/SqliteSupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace lumarest::dao {

namespace {
constexpr int kBusyMs = 20; // another copy of the program writing: give up rather than wait

// The first eight bytes of the path's SHA-1, as a row key.
sqlite3_int64 KeyOf(const QString& file) {
    const QByteArray digest =
        QCryptographicHash::hash(file.toUtf8(), QCryptographicHash::Sha1).first(8);
    sqlite3_int64 key = 0;
    std::memcpy(&key, digest.constData(), sizeof key);
    return key;
}

int64_t SingleInteger(sqlite3* db, sqlite3_stmt* stmt) {
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngine(db, rc);
    const int64_t value = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    return value;
}
} // namespace

struct PositionStore::Connection {
    DbPtr db;
    StmtPtr read, update, insert, forget;
};

PositionStore::PositionStore(const QString& path, int capacity)
    : m_db(std::make_unique<Connection>()), m_path(path), m_capacity(std::max(1, capacity)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    m_db->db.reset(raw);
    if (rc != SQLITE_OK)
        ThrowEngine(raw, rc);
    sqlite3* db = m_db->db.get();
    sqlite3_busy_timeout(db, kBusyMs);
    ExecuteSql(db,
               QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                              "PRAGMA journal_size_limit=262144;"
                              "CREATE TABLE IF NOT EXISTS positions(key INTEGER PRIMARY KEY,"
                              " ms INTEGER NOT NULL, stamp INTEGER NOT NULL);"
                              "CREATE INDEX IF NOT EXISTS positions_stamp ON positions(stamp);"));
    m_db->read = Prepare(db, QStringLiteral("SELECT ms FROM positions WHERE key=?"), true);
    m_db->update =
        Prepare(db, QStringLiteral("UPDATE positions SET ms=?2, stamp=?3 WHERE key=?1"), true);
    m_db->insert = Prepare(
        db, QStringLiteral("INSERT OR REPLACE INTO positions(key, ms, stamp) VALUES(?1, ?2, ?3)"),
        true);
    m_db->forget = Prepare(db, QStringLiteral("DELETE FROM positions WHERE key=?"), true);
    const StmtPtr count = Prepare(db, QStringLiteral("SELECT count(*) FROM positions"), false);
    m_count = static_cast<int>(SingleInteger(db, count.get()));
    const StmtPtr last = Prepare(db, QStringLiteral("SELECT max(stamp) FROM positions"), false);
    m_lastStamp = SingleInteger(db, last.get());
    Prune();
}

PositionStore::~PositionStore() = default;

std::optional<int64_t> PositionStore::Read(const QString& file) const {
    sqlite3_stmt* stmt = m_db->read.get();
    sqlite3_bind_int64(stmt, 1, KeyOf(file));
    const int rc = sqlite3_step(stmt);
    std::optional<int64_t> ms;
    if (rc == SQLITE_ROW)
        ms = sqlite3_column_int64(stmt, 0);
    sqlite3_reset(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngine(m_db->db.get(), rc);
    return ms;
}

// Stamps order the rows by their last write, across copies of the program too.
void PositionStore::Write(const QString& file, int64_t ms) {
    m_lastStamp = std::max<int64_t>(QDateTime::currentMSecsSinceEpoch(), m_lastStamp + 1);
    sqlite3* db = m_db->db.get();
    const auto bindAndRun = [&](sqlite3_stmt* stmt) {
        sqlite3_bind_int64(stmt, 1, KeyOf(file));
        sqlite3_bind_int64(stmt, 2, ms);
        sqlite3_bind_int64(stmt, 3, m_lastStamp);
        StepToEnd(db, stmt);
    };
    bindAndRun(m_db->update.get());
    if (sqlite3_changes(db) > 0)
        return;
    bindAndRun(m_db->insert.get());
    ++m_count;
    Prune();
}

void PositionStore::Forget(const QString& file) {
    sqlite3* db = m_db->db.get();
    sqlite3_bind_int64(m_db->forget.get(), 1, KeyOf(file));
    StepToEnd(db, m_db->forget.get());
    m_count -= sqlite3_changes(db);
}

int PositionStore::Count() const {
    return m_count;
}

// Keeps the rows written last, as many as the capacity.
void PositionStore::Prune() {
    if (m_count <= m_capacity)
        return;
    sqlite3* db = m_db->db.get();
    const StmtPtr prune = Prepare(db,
                                  QStringLiteral("DELETE FROM positions WHERE stamp <= (SELECT "
                                                 "stamp FROM positions ORDER BY stamp DESC "
                                                 "LIMIT 1 OFFSET ?)"),
                                  false);
    sqlite3_bind_int(prune.get(), 1, m_capacity);
    StepToEnd(db, prune.get());
    m_count -= sqlite3_changes(db);
}

} // namespace lumarest::dao
