// Writing through a recordset: delete, add and edit records.
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/dao/RecordsetQueries.h"
#include "platform/dao/TableSchema.h"

using namespace lumarest::dao;

void CDaoRecordset::RequireUpdatable() const {
    RequireOpen();
    if (!m_pDatabase->CanUpdate())
        ThrowDao(QStringLiteral("Cannot update. Database or object is read-only."),
                 SQLITE_READONLY);
}

void CDaoRecordset::Delete() {
    RequireUpdatable();
    RequireCurrent();
    CancelUpdate();
    if (m_bCursorIsFind)
        DetachCursor(); // the found record is kept as values before it goes
    const qint64 rowid = CurrentRowid();
    // A stepping scan may go on past the row it stands on once that row is deleted,
    // so this recordset keeps its cursor; the record stays current, marked deleted.
    // Other recordsets let go of theirs: a row ahead of them may vanish.
    m_pDatabase->DetachRecordsetCursors(this);
    CachedStatement remove = m_pDatabase->Statements().Acquire(m_queries->DeleteByRowid());
    sqlite3_bind_int64(remove.get(), 1, rowid);
    StepToEnd(m_pDatabase->GetHandle(), remove.get());
    m_bDeleted = true;
}

bool CDaoRecordset::DeleteFirst(const QString& filter) {
    RequireUpdatable();
    CancelUpdate();
    QString column;
    qint64 key = 0;
    if (m_bCursorIsFind || m_bFoundRowidOnly)
        DetachCursor(); // a found record is kept as values before any may go
    const bool byKey = MatchIntegerEquality(filter, column, key);
    const int field = byKey ? m_schema->IndexOf(column) : -1;
    if (field >= 0 && m_schema->fields[static_cast<size_t>(field)].rowidKey)
        return DeleteByRowid(key); // at most one record has that key
    CachedStatement remove = m_pDatabase->Statements().Acquire(
        m_queries->DeleteFirst(byKey ? column + QStringLiteral(" = ?1") : filter), byKey);
    if (byKey)
        sqlite3_bind_int64(remove.get(), 1, key);
    // Other scans let go of their rows first, as for Delete; this one keeps its own.
    m_pDatabase->DetachRecordsetCursors(this);
    const int rc = sqlite3_step(remove.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    if (rc == SQLITE_DONE)
        return false;
    const qint64 rowid = sqlite3_column_int64(remove.get(), 0);
    StepToEnd(m_pDatabase->GetHandle(), remove.get());
    // A scan not yet started will not meet the row; a current record may be it.
    if (!m_bPending && !m_deferredError && !m_bBOF && !m_bEOF && !m_bDeleted &&
        CurrentRowid() == rowid)
        m_bDeleted = true;
    return true;
}

bool CDaoRecordset::DeleteByRowid(qint64 rowid) {
    CachedStatement remove = m_pDatabase->Statements().Acquire(m_queries->DeleteByRowidInSet());
    sqlite3_bind_int64(remove.get(), 1, rowid);
    m_pDatabase->DetachRecordsetCursors(this);
    sqlite3* db = m_pDatabase->GetHandle();
    StepToEnd(db, remove.get());
    if (sqlite3_changes(db) == 0)
        return false;
    if (!m_bPending && !m_deferredError && !m_bBOF && !m_bEOF && !m_bDeleted &&
        CurrentRowid() == rowid)
        m_bDeleted = true;
    return true;
}

void CDaoRecordset::AddNew() {
    RequireUpdatable();
    m_editMode = EditMode::AddNew;
    m_editBuffer.assign(m_schema->fields.size(), std::nullopt);
}

void CDaoRecordset::Edit() {
    RequireUpdatable();
    RequireCurrent();
    m_nEditRowid = CurrentRowid();
    m_editMode = EditMode::Edit;
    m_editBuffer.assign(m_schema->fields.size(), std::nullopt);
}

void CDaoRecordset::CancelUpdate() {
    m_editMode = EditMode::None;
    m_editBuffer.clear();
}

void CDaoRecordset::SetFieldValue(const QString& field, const COleVariant& value) {
    RequireOpen();
    if (m_editMode == EditMode::None)
        ThrowDao(QString::fromLatin1(msg::kUpdateWithoutEdit), SQLITE_MISUSE);
    const int index = FieldIndex(field);
    const FieldSchema& schema = m_schema->fields[static_cast<size_t>(index)];
    if (schema.rowidKey)
        ThrowDao(QStringLiteral("Field '%1' cannot be updated.").arg(schema.name), SQLITE_READONLY);
    m_editBuffer[static_cast<size_t>(index)] = ConvertForField(value, schema);
}

void CDaoRecordset::SetFieldValueNull(const QString& field) {
    SetFieldValue(field, COleVariant::MakeNull());
}

void CDaoRecordset::Update() {
    RequireOpen();
    if (m_editMode == EditMode::None)
        ThrowDao(QString::fromLatin1(msg::kUpdateWithoutEdit), SQLITE_MISUSE);
    std::vector<int> fields;
    fields.reserve(m_editBuffer.size());
    for (size_t i = 0; i < m_editBuffer.size(); ++i) {
        if (m_editBuffer[i])
            fields.push_back(static_cast<int>(i));
    }
    if (m_editMode == EditMode::Edit && fields.empty())
        return CancelUpdate();
    const bool adding = m_editMode == EditMode::AddNew;
    CachedStatement write = m_pDatabase->Statements().Acquire(adding ? m_queries->Insert(fields)
                                                                     : m_queries->Update(fields));
    for (size_t i = 0; i < fields.size(); ++i)
        BindSqlValue(write.get(), static_cast<int>(i) + 1,
                     *m_editBuffer[static_cast<size_t>(fields[i])]);
    if (!adding)
        sqlite3_bind_int64(write.get(), static_cast<int>(fields.size()) + 1, m_nEditRowid);
    // No scan may meet the row it is on changed under it, nor a new row.
    if (adding)
        m_pDatabase->DetachRecordsetCursorsForInsert();
    else
        m_pDatabase->DetachRecordsetCursors();
    sqlite3* db = m_pDatabase->GetHandle();
    StepToEnd(db, write.get()); // on failure the edit stays pending for CancelUpdate
    write.Release();            // before the values it was bound to are cleared
    if (adding) {
        m_nLastModified = sqlite3_last_insert_rowid(db);
        m_pDatabase->NoteInsert(m_schema->name, m_nLastModified);
    } else {
        if (sqlite3_changes(db) == 0)
            ThrowDao(QString::fromLatin1(msg::kRecordDeleted), SQLITE_NOTFOUND);
        m_nLastModified = m_nEditRowid;
        RefreshSnapshot(m_nEditRowid);
    }
    CancelUpdate();
}

void CDaoRecordset::RefreshSnapshot(qint64 rowid) {
    if (m_bBOF || m_bEOF || m_bDeleted || m_snapshot.empty() ||
        sqlite3_value_int64(m_snapshot[0].get()) != rowid)
        return;
    CachedStatement fetch = m_pDatabase->Statements().Acquire(m_queries->FetchByRowid());
    sqlite3_bind_int64(fetch.get(), 1, rowid);
    const int rc = sqlite3_step(fetch.get());
    if (rc != SQLITE_ROW)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    TakeSnapshot(fetch.get(), false); // the sort keys stay: the record keeps its place
}
