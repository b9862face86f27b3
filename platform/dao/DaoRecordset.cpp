#include "platform/dao/DaoRecordset.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/RecordsetQueries.h"
#include "platform/dao/TableSchema.h"

#include <algorithm>
#include <utility>

using namespace lumarest::dao;

namespace {
// Rows a pending scan notes before it would rather start and pass over them.
constexpr size_t kMaxAddedWhilePending = 32;
} // namespace

CDaoRecordset::CDaoRecordset(CDaoDatabase* database) : m_pDatabase(database) {}

CDaoRecordset::~CDaoRecordset() {
    Close();
}

void CDaoRecordset::Open(int type, const QString& sql, int options) {
    Q_UNUSED(type);
    Q_UNUSED(options);
    Close();
    if (!m_pDatabase)
        ThrowDao(QString::fromLatin1(msg::kNotOpen), SQLITE_MISUSE);
    std::shared_ptr<const RecordsetQueries> queries = m_pDatabase->RecordsetQueriesFor(sql);
    // Preparing proves the statement: a bad WHERE or ORDER BY fails here. One
    // prepared before and waiting is proof enough; it is taken when the scan starts.
    CachedStatement scan;
    if (!m_pDatabase->Statements().HasIdle(queries->Scan(false)))
        scan = m_pDatabase->Statements().Acquire(queries->Scan(false));
    m_queries = std::move(queries);
    m_schema = m_queries->Schema().get();
    m_strSQL = sql;
    m_pDatabase->Register(this);
    m_bOpen = true;
    SetPosition(true, true);
    m_cursor = std::move(scan);
    m_bPending = true;
}

void CDaoRecordset::Close() {
    if (!m_bOpen)
        return;
    m_editMode = EditMode::None;
    m_editBuffer.clear();
    DropPending();
    m_cursor.Release();
    m_bOnCursor = false;
    m_bCursorIsFind = false;
    m_bFoundRowidOnly = false;
    m_snapshot.clear();
    SetPosition(true, true);
    m_pDatabase->Unregister(this);
    m_schema = nullptr;
    m_queries.reset();
    m_bOpen = false;
}

bool CDaoRecordset::CanUpdate() const {
    return m_bOpen && m_pDatabase->CanUpdate();
}

void CDaoRecordset::RequireOpen() const {
    if (!m_bOpen)
        ThrowDao(QString::fromLatin1(msg::kNotOpen), SQLITE_MISUSE);
}

void CDaoRecordset::RequireCurrent() const {
    RequireOpen();
    Settle();
    if (m_bBOF || m_bEOF)
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    if (m_bDeleted)
        ThrowDao(QString::fromLatin1(msg::kRecordDeleted), SQLITE_NOTFOUND);
}

void CDaoRecordset::SetPosition(bool bof, bool eof) {
    m_bBOF = bof;
    m_bEOF = eof;
    m_bDeleted = false;
    m_bFoundRowidOnly = false;
    if (bof || eof)
        LeaveCursor();
}

// No statement stands for the record any more; what it had read is forgotten.
void CDaoRecordset::LeaveCursor() {
    DropPending();
    m_cursor.Release();
    m_bOnCursor = false;
    m_bCursorIsFind = false;
    m_snapshot.clear();
    m_keys.clear();
}

void CDaoRecordset::DropPending() {
    m_bPending = false;
    m_addedWhilePending.clear();
    m_deferredError = nullptr;
}

void CDaoRecordset::SettleNow() {
    if (m_deferredError)
        std::rethrow_exception(std::exchange(m_deferredError, nullptr));
    if (m_bFoundRowidOnly)
        return LoadFoundRecord();
    StartPendingScan();
}

void CDaoRecordset::LoadFoundRecord() {
    m_bFoundRowidOnly = false;
    CachedStatement fetch = m_pDatabase->Statements().Acquire(m_queries->FetchByRowid());
    sqlite3_bind_int64(fetch.get(), 1, m_nFoundRowid);
    const int rc = sqlite3_step(fetch.get());
    if (rc == SQLITE_ROW) {
        RunFindOn(fetch);
        return;
    }
    if (rc != SQLITE_DONE) {
        m_bFoundRowidOnly = true; // tried again at the next look
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    }
    // Another program deleted it since: it stays current, deleted.
    m_bDeleted = true;
}

void CDaoRecordset::StartPendingScan() {
    if (!m_cursor)
        m_cursor = m_pDatabase->Statements().Acquire(m_queries->Scan(false));
    sqlite3_stmt* scan = m_cursor.get();
    int rc = SQLITE_DONE;
    qint64 passed = 0;
    while ((rc = sqlite3_step(scan)) == SQLITE_ROW) {
        const qint64 rowid = sqlite3_column_int64(scan, 0);
        if (std::find(m_addedWhilePending.begin(), m_addedWhilePending.end(), rowid) ==
            m_addedWhilePending.end())
            break;
        ++passed;
    }
    DropPending();
    if (rc == SQLITE_ROW) {
        m_bOnCursor = true;
        m_bCursorIsFind = false;
        m_bCursorBackward = false;
        m_bCursorFromStart = true;
        m_nCursorRow = passed; // not 0 when rows were passed over: MoveFirst starts anew
        m_snapshot.clear();
        m_keys.clear();
        SetPosition(false, false);
        return;
    }
    const QString text =
        rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(m_pDatabase->GetHandle()));
    SetPosition(true, true);
    if (rc != SQLITE_DONE)
        throw CDaoException(text, rc);
}

bool CDaoRecordset::CanWaitForInsert() const {
    return m_bPending && m_addedWhilePending.size() < kMaxAddedWhilePending;
}

void CDaoRecordset::NoteInsert(const QString& table, qint64 rowid) {
    if (m_bPending && m_schema->name.compare(table, Qt::CaseInsensitive) == 0)
        m_addedWhilePending.push_back(rowid);
}

bool CDaoRecordset::StartCursor(const SqlKey& sql, bool backward, bool fromStart,
                                const std::vector<sqlite3_value*>& bound) {
    CachedStatement stmt = m_pDatabase->Statements().Acquire(sql);
    for (size_t i = 0; i < bound.size(); ++i)
        sqlite3_bind_value(stmt.get(), static_cast<int>(i) + 1, bound[i]);
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    if (rc == SQLITE_DONE)
        return false;
    TakeCursor(std::move(stmt), false, backward, fromStart);
    SetPosition(false, false);
    return true;
}

// The statement, standing on its first row, becomes the record's cursor.
void CDaoRecordset::TakeCursor(CachedStatement&& stmt, bool isFind, bool backward, bool fromStart) {
    DropPending();
    m_bFoundRowidOnly = false;
    m_cursor = std::move(stmt);
    m_bOnCursor = true;
    m_bCursorIsFind = isFind;
    m_bCursorBackward = backward;
    m_bCursorFromStart = fromStart;
    m_nCursorRow = 0;
    m_snapshot.clear();
    m_keys.clear();
}

void CDaoRecordset::MoveFirst() {
    RequireOpen();
    CancelUpdate();
    if (m_bPending) {
        // The first record now, rows added since Open included.
        m_addedWhilePending.clear();
        StartPendingScan();
        if (m_bEOF)
            ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
        return;
    }
    if (m_bOnCursor && m_bCursorFromStart && !m_bCursorBackward && m_nCursorRow == 0 && !m_bDeleted)
        return; // already on the first record of a fresh scan
    if (!StartCursor(m_queries->Scan(false), false, true, {})) {
        SetPosition(true, true);
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    }
}

void CDaoRecordset::MoveLast() {
    RequireOpen();
    CancelUpdate();
    if (!StartCursor(m_queries->Scan(true), true, true, {})) {
        SetPosition(true, true);
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    }
}

void CDaoRecordset::MoveNext() {
    RequireOpen();
    CancelUpdate();
    Settle();
    if (m_bEOF)
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    if (m_bBOF)
        return MoveFirst();
    if (m_bOnCursor && !m_bCursorBackward && !m_bCursorIsFind)
        return StepCursor();
    DetachCursor();
    StepFromSnapshot();
}

void CDaoRecordset::StepCursor() {
    const int rc = sqlite3_step(m_cursor.get());
    if (rc == SQLITE_ROW) {
        ++m_nCursorRow;
        m_bDeleted = false;
        return;
    }
    if (rc != SQLITE_DONE) {
        const QString text = QString::fromUtf8(sqlite3_errmsg(m_pDatabase->GetHandle()));
        SetPosition(true, true);
        throw CDaoException(text, rc);
    }
    const bool backward = m_bCursorBackward;
    SetPosition(backward, !backward);
}

// The record after the current one, found again from its sort keys: the scan's cursor
// let go of it (a find, a write or a delete came between).
void CDaoRecordset::StepFromSnapshot() {
    if (m_snapshot.empty())
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    std::vector<bool> keyIsNull;
    std::vector<sqlite3_value*> bound;
    for (const ValuePtr& key : m_keys) {
        keyIsNull.push_back(sqlite3_value_type(key.get()) == SQLITE_NULL);
        bound.push_back(key.get());
    }
    bound.push_back(m_snapshot[0].get());
    // The bound values live here until the statement has stepped; the record stays
    // current if the step fails.
    std::vector<ValuePtr> snapshot = std::move(m_snapshot);
    std::vector<ValuePtr> keys = std::move(m_keys);
    m_snapshot.clear();
    m_keys.clear();
    try {
        if (!StartCursor(m_queries->StepFrom(keyIsNull), false, false, bound))
            SetPosition(false, true);
    } catch (...) {
        m_snapshot = std::move(snapshot);
        m_keys = std::move(keys);
        throw;
    }
}

namespace {

ValuePtr DupColumn(sqlite3_stmt* stmt, int column) {
    ValuePtr value(sqlite3_value_dup(sqlite3_column_value(stmt, column)));
    if (!value)
        ThrowDao(QStringLiteral("Out of memory."), SQLITE_NOMEM);
    return value;
}

} // namespace

void CDaoRecordset::TakeSnapshot(sqlite3_stmt* stmt, bool withKeys) {
    std::vector<ValuePtr> values;
    const int columns = sqlite3_column_count(stmt);
    values.reserve(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c)
        values.push_back(DupColumn(stmt, c));
    if (withKeys) {
        std::vector<ValuePtr> keys;
        for (int k = 0; k < m_queries->KeyCount(); ++k)
            keys.push_back(DupColumn(stmt, m_queries->KeyColumn(k)));
        m_keys = std::move(keys);
    }
    m_snapshot = std::move(values);
}

void CDaoRecordset::DetachCursor() {
    if (m_bFoundRowidOnly) {
        try {
            LoadFoundRecord();
        } catch (const CDaoException&) {
            m_deferredError = std::current_exception(); // no current record till then
        }
    }
    if (m_bPending) {
        try {
            StartPendingScan();
        } catch (const CDaoException&) {
            m_deferredError = std::current_exception(); // no current record till then
        }
    }
    if (!m_cursor)
        return;
    if (m_bOnCursor && !m_bBOF && !m_bEOF)
        TakeSnapshot(m_cursor.get(), true);
    m_bOnCursor = false;
    m_bCursorIsFind = false;
    m_cursor.Release();
}

long CDaoRecordset::GetRecordCount() {
    RequireOpen();
    CachedStatement count = m_pDatabase->Statements().Acquire(m_queries->Count());
    const int rc = sqlite3_step(count.get());
    if (rc != SQLITE_ROW)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    return static_cast<long>(sqlite3_column_int64(count.get(), 0));
}

bool CDaoRecordset::RunFind(CachedStatement& find) {
    const int rc = sqlite3_step(find.get());
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    RunFindOn(find);
    return true;
}

void CDaoRecordset::RunFindOn(CachedStatement& find) {
    // The find's statement stays on the record as the cursor; a caller that only
    // asks whether a record exists copies none of its values.
    TakeCursor(std::move(find), true, false, false);
    m_bBOF = m_bEOF = false;
    m_bDeleted = false;
}

bool CDaoRecordset::FindFirst(const QString& filter) {
    RequireOpen();
    CancelUpdate();
    QString column;
    qint64 key = 0;
    if (MatchIntegerEquality(filter, column, key)) {
        // ID_Files=42 and its like run as one prepared statement with the key bound.
        CachedStatement find =
            m_pDatabase->Statements().Acquire(m_queries->Find(column + QStringLiteral(" = ?1")));
        sqlite3_bind_int64(find.get(), 1, key);
        return RunFind(find);
    }
    CachedStatement find = m_pDatabase->Statements().Acquire(m_queries->Find(filter), false);
    return RunFind(find);
}

bool CDaoRecordset::FindFirstBound(const QString& filter, std::span<const COleVariant> params) {
    RequireOpen();
    CancelUpdate();
    // Holds the values bound without copies, so it lives until the statement is back.
    ParameterBinder binder;
    CachedStatement find = m_pDatabase->Statements().Acquire(m_queries->FindRowid(filter));
    const int expected = sqlite3_bind_parameter_count(find.get());
    if (expected != static_cast<int>(params.size()))
        ThrowDao(QStringLiteral("The filter has %1 parameters but %2 values were given.")
                     .arg(expected)
                     .arg(params.size()),
                 SQLITE_RANGE);
    for (size_t i = 0; i < params.size(); ++i)
        binder.Bind(find.get(), static_cast<int>(i) + 1, params[i]);
    const int rc = sqlite3_step(find.get());
    if (rc == SQLITE_DONE)
        return false;
    if (rc != SQLITE_ROW)
        ThrowEngine(m_pDatabase->GetHandle(), rc);
    const qint64 rowid = sqlite3_column_int64(find.get(), 0);
    find.Release();
    LeaveCursor();
    m_bBOF = m_bEOF = false;
    m_bDeleted = false;
    m_bFoundRowidOnly = true;
    m_nFoundRowid = rowid;
    return true;
}

int CDaoRecordset::FieldIndex(const QString& field) const {
    RequireOpen();
    const int index = m_schema->IndexOf(field, m_nNextFieldHint);
    if (index < 0)
        ThrowDao(QString::fromLatin1(msg::kItemNotFound), SQLITE_NOTFOUND);
    m_nNextFieldHint = index + 1;
    return index;
}

int CDaoRecordset::GetFieldCount() const {
    return m_schema ? static_cast<int>(m_schema->fields.size()) : 0;
}

QString CDaoRecordset::GetFieldName(int index) const {
    if (index < 0 || index >= GetFieldCount())
        ThrowDao(QString::fromLatin1(msg::kItemNotFound), SQLITE_NOTFOUND);
    return m_schema->fields[static_cast<size_t>(index)].name;
}

qint64 CDaoRecordset::CurrentRowid() const {
    RequireCurrent(); // settles a pending scan
    if (m_bOnCursor)
        return sqlite3_column_int64(m_cursor.get(), 0);
    if (m_snapshot.empty())
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    return sqlite3_value_int64(m_snapshot[0].get());
}

COleVariant CDaoRecordset::GetFieldValue(const QString& field) const {
    return GetFieldValue(FieldIndex(field));
}

COleVariant CDaoRecordset::GetFieldValue(int index) const {
    RequireCurrent();
    if (index < 0 || index >= GetFieldCount())
        ThrowDao(QString::fromLatin1(msg::kItemNotFound), SQLITE_NOTFOUND);
    const FieldKind kind = m_schema->fields[static_cast<size_t>(index)].kind;
    const int column = m_queries->FieldColumn(index);
    if (m_bOnCursor)
        return ReadColumn(m_cursor.get(), column, kind);
    if (static_cast<size_t>(column) >= m_snapshot.size())
        ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
    return ReadValue(m_snapshot[static_cast<size_t>(column)].get(), kind);
}

namespace {
CDaoRecordset::RawField RawOf(sqlite3_value* value) {
    using Type = CDaoRecordset::RawType;
    CDaoRecordset::RawField field;
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        field.type = Type::Integer;
        field.integer = sqlite3_value_int64(value);
        break;
    case SQLITE_TEXT:
        field.type = Type::Text;
        field.text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        field.bytes = sqlite3_value_bytes(value);
        break;
    case SQLITE_FLOAT:
        field.type = Type::Float;
        break;
    case SQLITE_BLOB:
        field.type = Type::Blob;
        break;
    default:
        break;
    }
    return field;
}
} // namespace

void CDaoRecordset::GetFieldsRaw(std::span<const int> fields, RawField* out) const {
    RequireCurrent();
    const int count = GetFieldCount();
    for (const int index : fields)
        if (index < 0 || index >= count)
            ThrowDao(QString::fromLatin1(msg::kItemNotFound), SQLITE_NOTFOUND);
    if (m_bOnCursor) {
        // The connection is used by this thread alone, so the row's values are
        // read in place.
        sqlite3_stmt* stmt = m_cursor.get();
        for (size_t i = 0; i < fields.size(); ++i)
            out[i] = RawOf(sqlite3_column_value(stmt, m_queries->FieldColumn(fields[i])));
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t column = static_cast<size_t>(m_queries->FieldColumn(fields[i]));
        if (column >= m_snapshot.size())
            ThrowDao(QString::fromLatin1(msg::kNoCurrentRecord), SQLITE_NOTFOUND);
        out[i] = RawOf(m_snapshot[column].get());
    }
}
