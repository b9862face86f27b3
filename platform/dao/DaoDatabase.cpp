#include "platform/dao/DaoDatabase.h"

#include "platform/dao/DaoRecordset.h"
#include "platform/dao/RecordsetQueries.h"
#include "platform/dao/RecordsetSql.h"
#include "platform/dao/StatementCache.h"
#include "platform/dao/TableSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace lumarest::dao;

namespace {

constexpr int kBusyTimeoutMs = 3000;
constexpr qsizetype kHeaderSize = 100;
constexpr qsizetype kApplicationIdOffset = 68;
constexpr qsizetype kMaxCachedQueries = 64;

QString SavepointName(int level) {
    return QStringLiteral("lumarest_tx%1").arg(level);
}

// A refusal by the file system carries SQLITE_PERM, so that callers can name it.
[[noreturn]] void ThrowFileError(const QString& what, int error) {
    const int code = (error == EACCES || error == EPERM) ? SQLITE_PERM : SQLITE_CANTOPEN;
    ThrowDao(QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(error))),
             code);
}

qint64 QueryInteger(sqlite3* db, const QString& sql) {
    StmtPtr stmt = Prepare(db, sql, false);
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW)
        ThrowEngine(db, rc);
    return sqlite3_column_int64(stmt.get(), 0);
}

} // namespace

CDaoDatabase::CDaoDatabase() = default;

CDaoDatabase::~CDaoDatabase() {
    Close();
}

bool CDaoDatabase::IsOpen() const {
    return m_db != nullptr;
}

void CDaoDatabase::RequireOpen() const {
    if (!m_db)
        ThrowDao(QString::fromLatin1(msg::kNotOpen), SQLITE_MISUSE);
}

void CDaoDatabase::Create(const QString& path, const QString& locale, int options) {
    Q_UNUSED(locale);
    Q_UNUSED(options);
    Close();
    // O_EXCL creates the file exclusively: it fails, touching nothing, when it exists.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == EEXIST)
            ThrowDao(QStringLiteral("Database already exists."), SQLITE_CANTOPEN);
        ThrowFileError(QStringLiteral("Cannot create the database file '%1'").arg(path), error);
    }
    ::close(fd);
    try {
        OpenConnection(path, SQLITE_OPEN_READWRITE);
        ExecuteSql(m_db.get(), QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=1;")
                                   .arg(kDaoApplicationId));
    } catch (...) {
        Close();
        QFile::remove(path);
        throw;
    }
}

bool CDaoDatabase::ResumeCreate(const QString& path) {
    Close();
    const QFileInfo info(path);
    if (!info.isFile() || (info.size() != 0 && !HasOwnHeader(path)))
        return false;
    try {
        OpenConnection(path, SQLITE_OPEN_READWRITE);
        // Exclusive: two starts that find the same remnant complete it one after the other.
        ExecuteSql(m_db.get(), QStringLiteral("BEGIN EXCLUSIVE"));
        m_nTransactionDepth = 1;
        // Seen again under the lock: another start may have finished it meanwhile.
        const qint64 id = QueryInteger(m_db.get(), QStringLiteral("PRAGMA application_id"));
        const bool bare =
            QueryInteger(m_db.get(), QStringLiteral("SELECT count(*) FROM sqlite_master")) == 0;
        const bool wasEmpty = info.size() == 0 && id == 0;
        if (!bare || !(wasEmpty || id == kDaoApplicationId)) {
            Close(); // rolls back: the file is not ours to finish
            return false;
        }
        ExecuteSql(m_db.get(), QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=1;")
                                   .arg(kDaoApplicationId));
        return true;
    } catch (const CDaoException&) {
        Close();
        return false;
    }
}

bool CDaoDatabase::HasSchema() {
    RequireOpen();
    return QueryInteger(m_db.get(), QStringLiteral("SELECT count(*) FROM sqlite_master")) != 0;
}

bool CDaoDatabase::HasOwnHeader(const QString& path) {
    // Never waits: a pipe put in the file's place reads as no header at all.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const QByteArray header = file.read(kHeaderSize);
    return header.size() == kHeaderSize &&
           header.startsWith(QByteArrayLiteral("SQLite format 3\0")) &&
           qFromBigEndian<qint32>(header.constData() + kApplicationIdOffset) == kDaoApplicationId;
}

void CDaoDatabase::CheckCatalogueFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        ThrowDao(QStringLiteral("Could not find file '%1'.").arg(path), SQLITE_CANTOPEN);
    if (!info.isFile())
        ThrowDao(QStringLiteral("'%1' is not a database file.").arg(path), SQLITE_NOTADB);
    // Never waits: a pipe put in the file's place cannot hold the open.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        ThrowFileError(QStringLiteral("Cannot open the database file '%1'").arg(path), errno);
    ::close(fd);
    if (!HasOwnHeader(path))
        ThrowDao(QStringLiteral("Unrecognized database format '%1'.").arg(path), SQLITE_NOTADB);
}

void CDaoDatabase::Open(const QString& path, bool exclusive, bool readOnly,
                        const QString& connect) {
    Q_UNUSED(connect);
    Close();
    // The header is checked before SQLite sees the file, so that a file that is no
    // catalogue is never written to, not even by a journal.
    CheckCatalogueFile(path);
    OpenConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
    m_bReadOnly = readOnly;
    try {
        if (exclusive)
            ExecuteSql(m_db.get(), QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
        ExecuteSql(m_db.get(), QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoDatabase::OpenConnection(const QString& path, int flags) {
    sqlite3* raw = nullptr;
    // One connection per database object, used on one thread: no per-call locking.
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    DbPtr db(raw);
    if (rc != SQLITE_OK)
        ThrowEngine(db.get(), rc);
    sqlite3_extended_result_codes(db.get(), 1);
    // In table and index definitions a double-quoted name must name a column; it
    // must never turn silently into a string.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    m_db = std::move(db);
    m_statements = std::make_unique<StatementCache>(m_db.get());
    m_strName = path;
    m_bReadOnly = (flags & SQLITE_OPEN_READONLY) != 0;
    static quint64 s_nOpenings = 0;
    m_nOpenSerial = ++s_nOpenings;
}

namespace {
qint64 PragmaNumber(sqlite3* db, const char* pragma) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, pragma, -1, &raw, nullptr) != SQLITE_OK)
        ThrowEngine(db, sqlite3_errcode(db));
    const lumarest::dao::StmtPtr stmt(raw);
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW)
        ThrowEngine(db, rc);
    return sqlite3_column_int64(stmt.get(), 0);
}
} // namespace

CDaoDatabase::ChangeStamp CDaoDatabase::GetChangeStamp() {
    RequireOpen();
    sqlite3* db = m_db.get();
    return {m_nOpenSerial, sqlite3_total_changes64(db), PragmaNumber(db, "PRAGMA data_version"),
            PragmaNumber(db, "PRAGMA schema_version")};
}

void CDaoDatabase::Close() {
    if (!m_db)
        return;
    const std::vector<CDaoRecordset*> open = m_recordsets;
    for (CDaoRecordset* recordset : open)
        recordset->Close();
    m_recordsets.clear();
    m_statements.reset();
    ForgetSchema();
    m_db.reset(); // an unfinished transaction is rolled back by SQLite
    m_nTransactionDepth = 0;
    m_strName.clear();
    m_bReadOnly = false;
}

void CDaoDatabase::BeginTrans() {
    RequireOpen();
    if (m_nTransactionDepth == 0)
        ExecuteSql(m_db.get(),
                   m_bReadOnly ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    else
        ExecuteSql(m_db.get(), QStringLiteral("SAVEPOINT ") + SavepointName(m_nTransactionDepth));
    ++m_nTransactionDepth;
}

void CDaoDatabase::CommitTrans() {
    RequireOpen();
    if (m_nTransactionDepth == 0)
        ThrowDao(QStringLiteral("Commit or Rollback without BeginTrans."));
    if (sqlite3_get_autocommit(m_db.get())) {
        // Some engine errors (disk full, I/O) roll the whole transaction back.
        m_nTransactionDepth = 0;
        DetachRecordsetCursors();
        ForgetSchema();
        ThrowDao(QStringLiteral("The transaction was rolled back by the database engine after an "
                                "earlier error; its changes are lost."),
                 SQLITE_ABORT);
    }
    if (m_nTransactionDepth == 1)
        ExecuteSql(m_db.get(), QStringLiteral("COMMIT"));
    else
        ExecuteSql(m_db.get(), QStringLiteral("RELEASE ") + SavepointName(m_nTransactionDepth - 1));
    --m_nTransactionDepth;
}

void CDaoDatabase::Rollback() {
    RequireOpen();
    if (m_nTransactionDepth == 0)
        ThrowDao(QStringLiteral("Commit or Rollback without BeginTrans."));
    DetachRecordsetCursors();
    ForgetSchema();
    if (sqlite3_get_autocommit(m_db.get())) {
        m_nTransactionDepth = 0; // the engine rolled back already
        return;
    }
    if (m_nTransactionDepth == 1) {
        ExecuteSql(m_db.get(), QStringLiteral("ROLLBACK"));
    } else {
        const QString name = SavepointName(m_nTransactionDepth - 1);
        ExecuteSql(m_db.get(), QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(name));
    }
    --m_nTransactionDepth;
}

void CDaoDatabase::Execute(const QString& sql, int options) {
    Q_UNUSED(options);
    RequireOpen();
    DetachRecordsetCursors();
    ForgetSchema(); // the statements may change tables
    ExecuteSql(m_db.get(), sql);
}

qint64 CDaoDatabase::GetRecordsAffected() const {
    return m_db ? sqlite3_changes64(m_db.get()) : 0;
}

void CDaoDatabase::DetachRecordsetCursors(const CDaoRecordset* except) {
    for (CDaoRecordset* recordset : m_recordsets) {
        if (recordset != except)
            recordset->DetachCursor();
    }
}

void CDaoDatabase::DetachRecordsetCursorsForInsert() {
    // Without triggers an insert adds its one row and changes nothing else.
    const bool triggers = HasTriggers();
    for (CDaoRecordset* recordset : m_recordsets) {
        if (triggers || !recordset->CanWaitForInsert())
            recordset->DetachCursor();
    }
}

void CDaoDatabase::NoteInsert(const QString& table, qint64 rowid) {
    for (CDaoRecordset* recordset : m_recordsets)
        recordset->NoteInsert(table, rowid);
}

bool CDaoDatabase::HasTriggers() {
    if (!m_hasTriggers) {
        CachedStatement query = Statements().Acquire(
            QStringLiteral("SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE type='trigger') OR "
                           "EXISTS (SELECT 1 FROM sqlite_temp_master WHERE type='trigger')"),
            false);
        const int rc = sqlite3_step(query.get());
        if (rc != SQLITE_ROW)
            ThrowEngine(m_db.get(), rc);
        m_hasTriggers = sqlite3_column_int(query.get(), 0) != 0;
    }
    return *m_hasTriggers;
}

StatementCache& CDaoDatabase::Statements() {
    RequireOpen();
    return *m_statements;
}

std::shared_ptr<const TableSchema> CDaoDatabase::TableSchemaFor(const QString& table) {
    RequireOpen();
    const QString key = table.toLower();
    if (auto it = m_tables.constFind(key); it != m_tables.constEnd())
        return *it;
    std::shared_ptr<const TableSchema> schema = ReadTableSchema(m_db.get(), table);
    if (!schema)
        ThrowDao(QStringLiteral("Cannot find the table '%1'.").arg(table));
    m_tables.insert(key, schema);
    return schema;
}

std::shared_ptr<const RecordsetQueries> CDaoDatabase::RecordsetQueriesFor(const QString& sql) {
    RequireOpen();
    if (m_lastRecordsetQueries && sql == m_strLastRecordsetSql)
        return m_lastRecordsetQueries;
    if (auto it = m_recordsetQueries.constFind(sql); it != m_recordsetQueries.constEnd()) {
        m_strLastRecordsetSql = sql;
        m_lastRecordsetQueries = *it;
        return *it;
    }
    const RecordsetSql parsed = ParseRecordsetSql(sql);
    auto queries = std::make_shared<const RecordsetQueries>(TableSchemaFor(parsed.table), parsed);
    if (m_recordsetQueries.size() >= kMaxCachedQueries)
        m_recordsetQueries.clear();
    m_recordsetQueries.insert(sql, queries);
    m_strLastRecordsetSql = sql;
    m_lastRecordsetQueries = queries;
    return queries;
}

void CDaoDatabase::ForgetSchema() {
    m_tables.clear();
    m_recordsetQueries.clear();
    m_lastRecordsetQueries.reset();
    m_hasTriggers.reset();
    // A statement kept from before may no longer prepare: an Open must find out.
    if (m_statements)
        m_statements->Clear();
}

void CDaoDatabase::Register(CDaoRecordset* recordset) {
    m_recordsets.push_back(recordset);
}

void CDaoDatabase::Unregister(CDaoRecordset* recordset) {
    m_recordsets.erase(std::remove(m_recordsets.begin(), m_recordsets.end(), recordset),
                       m_recordsets.end());
}

CDaoTransaction::CDaoTransaction(CDaoDatabase& database) : m_database(database) {
    m_database.BeginTrans();
    m_nDepth = m_database.GetTransactionDepth();
    m_bActive = true;
}

CDaoTransaction::~CDaoTransaction() {
    try {
        Rollback();
    } catch (...) {
        // A destructor must not throw; the engine keeps its file consistent regardless.
    }
}

void CDaoTransaction::Commit() {
    if (!m_bActive)
        ThrowDao(QStringLiteral("Commit or Rollback without BeginTrans."));
    try {
        m_database.CommitTrans();
        m_bActive = false;
    } catch (...) {
        if (!m_database.IsOpen() || m_database.GetTransactionDepth() < m_nDepth)
            m_bActive = false;
        throw;
    }
}

void CDaoTransaction::CommitSoFar() {
    Commit();
    m_database.BeginTrans();
    m_nDepth = m_database.GetTransactionDepth();
    m_bActive = true;
}

void CDaoTransaction::Rollback() {
    if (!m_bActive)
        return;
    m_bActive = false;
    if (m_database.IsOpen() && m_database.GetTransactionDepth() >= m_nDepth)
        m_database.Rollback();
}
