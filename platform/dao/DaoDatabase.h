#pragma once
// The catalogue database: one SQLite file, opened shared for reading and writing.
// Every failure raises CDaoException with the engine's description.
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoTypes.h"
#include "platform/dao/SqliteSupport.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class CDaoRecordset;
class CDaoTableDef;

namespace lumarest::dao {
class RecordsetQueries;
class StatementCache;
struct TableSchema;
} // namespace lumarest::dao

class CDaoDatabase {
public:
    CDaoDatabase();
    ~CDaoDatabase();
    CDaoDatabase(const CDaoDatabase&) = delete;
    CDaoDatabase& operator=(const CDaoDatabase&) = delete;

    // Makes a new, empty database file and opens it. Fails if the file exists or
    // cannot be written; a file it made is removed again when a later step fails.
    // The locale is recorded by the caller's choice only: texts compare by code value.
    void Create(const QString& path, const QString& locale = dbLangGeneral, int options = 0);
    // Opens a database made by Create. Fails, leaving the file's bytes as they were,
    // when the file is missing, unreadable, no SQLite database or no catalogue database.
    void Open(const QString& path, bool exclusive = false, bool readOnly = false,
              const QString& connect = QString());
    bool IsOpen() const;
    // Opens a file that a creation cut short left behind (empty, or with this
    // layer's application id and no schema at all) inside a transaction, in which
    // the caller makes the schema and which CommitTrans ends. False, leaving the
    // file as it was and the database closed, for any other file.
    bool ResumeCreate(const QString& path);
    // True when the open database holds any table, index, view or trigger.
    bool HasSchema();
    // Closes the recordsets still open on this database, rolls back an unfinished
    // transaction and closes the file. Does nothing when closed.
    void Close();
    QString GetName() const { return m_strName; }
    bool CanUpdate() const { return IsOpen() && !m_bReadOnly; }
    bool CanTransact() const { return IsOpen(); }

    // Transactions nest: an inner one is a savepoint within the outer one.
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    int GetTransactionDepth() const { return m_nTransactionDepth; }

    // Runs one or more plain statements (no rows are returned).
    void Execute(const QString& sql, int options = 0);
    qint64 GetRecordsAffected() const;

    // What tells whether the database's contents may have changed: equal stamps
    // taken from one open database mean no row and no table changed in between,
    // by this connection or any other.
    struct ChangeStamp {
        quint64 open = 0;         // which opening of a database
        qint64 changes = 0;       // rows this connection changed
        qint64 otherCommits = 0;  // PRAGMA data_version
        qint64 schemaVersion = 0; // PRAGMA schema_version
        bool operator==(const ChangeStamp&) const = default;
    };
    ChangeStamp GetChangeStamp();

    // The SQLite connection, for tests and diagnostics; null when closed.
    sqlite3* GetHandle() const { return m_db.get(); }

private:
    friend class CDaoRecordset;
    friend class CDaoTableDef;

    void RequireOpen() const;
    void OpenConnection(const QString& path, int flags);
    static void CheckCatalogueFile(const QString& path);
    static bool HasOwnHeader(const QString& path);
    // Before a write: open scans keep their records as snapshots and go on from them.
    void DetachRecordsetCursors(const CDaoRecordset* except = nullptr);
    // Around an insert: scans that have not started yet need no snapshot; they
    // note the new row and pass over it when they start. Not so when triggers may
    // change other rows as well.
    void DetachRecordsetCursorsForInsert();
    void NoteInsert(const QString& table, qint64 rowid);
    bool HasTriggers();
    lumarest::dao::StatementCache& Statements();
    // The table's columns as cached; throws when the table does not exist.
    std::shared_ptr<const lumarest::dao::TableSchema> TableSchemaFor(const QString& table);
    // The statements of a recordset opened with this SQL text, built once: an
    // import opens the same recordset for every file.
    std::shared_ptr<const lumarest::dao::RecordsetQueries> RecordsetQueriesFor(const QString& sql);
    void ForgetSchema();
    void Register(CDaoRecordset* recordset);
    void Unregister(CDaoRecordset* recordset);

    lumarest::dao::DbPtr m_db;
    std::unique_ptr<lumarest::dao::StatementCache> m_statements;
    QHash<QString, std::shared_ptr<const lumarest::dao::TableSchema>> m_tables;
    QHash<QString, std::shared_ptr<const lumarest::dao::RecordsetQueries>> m_recordsetQueries;
    // The one asked for last: an import opens the same recordset for every file.
    QString m_strLastRecordsetSql;
    std::shared_ptr<const lumarest::dao::RecordsetQueries> m_lastRecordsetQueries;
    std::vector<CDaoRecordset*> m_recordsets;
    std::optional<bool> m_hasTriggers; // known since the schema was last read
    QString m_strName;
    int m_nTransactionDepth = 0;
    bool m_bReadOnly = false;
    quint64 m_nOpenSerial = 0;
};

// Rolls back the transaction if the object goes out of scope before Commit() is
// called. CommitSoFar() keeps what was done up to now and goes on in a new
// transaction: an import that meets an engine error keeps the records it added.
class CDaoTransaction {
public:
    explicit CDaoTransaction(CDaoDatabase& database);
    explicit CDaoTransaction(CDaoDatabase* database) : CDaoTransaction(*database) {}
    ~CDaoTransaction();
    CDaoTransaction(const CDaoTransaction&) = delete;
    CDaoTransaction& operator=(const CDaoTransaction&) = delete;

    void Commit();
    void CommitSoFar();
    void Rollback();
    bool IsActive() const { return m_bActive; }

private:
    CDaoDatabase& m_database;
    int m_nDepth = 0; // the database's depth inside this transaction
    bool m_bActive = false;
};
