#pragma once
// An updatable recordset over one table: "SELECT * FROM <table> [WHERE ...]
// [ORDER BY ...]". Rows are read lazily from a stepping statement; a record found
// or written is held by its rowid and values, so finding, deleting and adding
// never read the whole table.
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoTypes.h"
#include "platform/dao/FieldValues.h"
#include "platform/dao/OleVariant.h"
#include "platform/dao/StatementCache.h"

#include <QString>
#include <concepts>
#include <exception>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class CDaoDatabase;

namespace lumarest::dao {
class RecordsetQueries;
} // namespace lumarest::dao

class CDaoRecordset {
public:
    explicit CDaoRecordset(CDaoDatabase* database = nullptr);
    ~CDaoRecordset();
    CDaoRecordset(const CDaoRecordset&) = delete;
    CDaoRecordset& operator=(const CDaoRecordset&) = delete;

    // Every type gives an updatable dynaset; options are accepted and ignored.
    // Afterwards the recordset is on its first record, or at BOF and EOF when empty.
    // The statement is prepared here, so a bad text fails here; the first record
    // is read when it is first needed (an import that only finds and adds never
    // reads it). Rows added after Open are not taken for that first record.
    void Open(int type = AFX_DAO_USE_DEFAULT_TYPE, const QString& sql = QString(), int options = 0);
    bool IsOpen() const { return m_bOpen; }
    void Close();
    QString GetSQL() const { return m_strSQL; }
    bool CanUpdate() const;

    // These, like every read of the position, may have to read the first record
    // and so may throw an engine error.
    bool IsBOF() const {
        Settle();
        return m_bBOF;
    }
    bool IsEOF() const {
        Settle();
        return m_bEOF;
    }
    // MoveFirst and MoveLast throw "No current record." on an empty recordset;
    // MoveNext throws at EOF.
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    // The number of records in the recordset (after MoveLast, as callers use it).
    long GetRecordCount();

    // Positions on the first record, in the recordset's order, that also meets the
    // condition; false (position unchanged) when none does. A malformed condition
    // throws. The second form binds the values to the condition's ? placeholders.
    bool FindFirst(const QString& filter);
    bool FindFirst(const QString& filterWithPlaceholders, const std::vector<COleVariant>& params) {
        return FindFirstBound(filterWithPlaceholders, params);
    }
    bool FindFirst(const QString& filterWithPlaceholders,
                   std::initializer_list<COleVariant> params) {
        return FindFirstBound(filterWithPlaceholders, std::span(params.begin(), params.size()));
    }

    void Delete(); // the current record; it stays current, deleted, until a move
    // Deletes the record that FindFirst(filter) would find, in one statement, and
    // leaves the position where it was (a current record deleted so stays current,
    // deleted). False when no record meets the condition.
    bool DeleteFirst(const QString& filter);
    // AddNew or Edit, then SetFieldValue, then Update: one INSERT or UPDATE with all
    // the values. After an AddNew the current record is the one current before.
    void AddNew();
    void Edit();
    void Update();

    void SetFieldValue(const QString& field, const COleVariant& value);
    void SetFieldValue(const QString& field, const QString& value) {
        SetFieldValue(field, COleVariant(value));
    }
    void SetFieldValue(const QString& field, const char* value) {
        SetFieldValue(field, COleVariant(value));
    }
    template <std::integral T>
    requires(!std::same_as<T, bool>) void SetFieldValue(const QString& field, T value) {
        SetFieldValue(field, COleVariant(static_cast<qint64>(value)));
    }
    void SetFieldValueNull(const QString& field);

    COleVariant GetFieldValue(const QString& field) const;
    COleVariant GetFieldValue(int index) const;
    // A field of the current record as the engine holds it, with no variant and
    // no copy: the text's UTF-8 bytes stay valid until the recordset moves or
    // writes. For reading many records at once.
    enum class RawType { Null, Integer, Float, Text, Blob };
    struct RawField {
        RawType type = RawType::Null;
        const char* text = nullptr; // Text only
        int bytes = 0;
        qint64 integer = 0; // Integer only
    };
    // Fields of the current record: out[i] for fields[i].
    void GetFieldsRaw(std::span<const int> fields, RawField* out) const;
    int GetFieldCount() const;
    QString GetFieldName(int index) const;
    // The key (rowid) of the record the last Update inserted or changed; 0 if none.
    qint64 GetLastModifiedKey() const { return m_nLastModified; }

    CDaoDatabase* m_pDatabase;

private:
    friend class CDaoDatabase;
    using ValuePtr = lumarest::dao::ValuePtr;
    using SqlValue = lumarest::dao::SqlValue;
    enum class EditMode { None, AddNew, Edit };

    // Drops a pending AddNew or Edit and its values; any move does so first.
    void CancelUpdate();
    void RequireOpen() const;
    void RequireUpdatable() const;
    void RequireCurrent() const;
    int FieldIndex(const QString& field) const;
    qint64 CurrentRowid() const;
    void SetPosition(bool bof, bool eof);

    // Runs a query as the new cursor; true when it gave a record.
    bool StartCursor(const lumarest::dao::SqlKey& sql, bool backward, bool fromStart,
                     const std::vector<sqlite3_value*>& bound);
    // The first step of the scan Open prepared, passing over rows added since.
    // A step that fails leaves no current record and throws.
    void StartPendingScan();
    // The position is read lazily; a recordset is never a const object while
    // its scan is pending, since only Open makes it so.
    void Settle() const {
        if (m_bPending || m_deferredError || m_bFoundRowidOnly)
            const_cast<CDaoRecordset*>(this)->SettleNow();
    }
    // Reads the record a find found by its rowid alone; it becomes the cursor.
    void LoadFoundRecord();
    void SettleNow();
    void DropPending();
    // For the database when a row is added to a table: a pending scan of that
    // table passes over it. False when the scan would rather start now.
    bool CanWaitForInsert() const;
    void NoteInsert(const QString& table, qint64 rowid);
    void StepCursor();
    void StepFromSnapshot();
    void TakeSnapshot(sqlite3_stmt* stmt, bool withKeys);
    void RefreshSnapshot(qint64 rowid);
    // Keeps the current record as a snapshot and lets the stepping statement go,
    // before a write or a rollback that the statement must not see half-way.
    void DetachCursor();
    bool RunFind(lumarest::dao::CachedStatement& find);
    bool FindFirstBound(const QString& filter, std::span<const COleVariant> params);
    // Makes the find's statement, standing on its record, the cursor.
    void RunFindOn(lumarest::dao::CachedStatement& find);
    void LeaveCursor();
    void TakeCursor(lumarest::dao::CachedStatement&& stmt, bool isFind, bool backward,
                    bool fromStart);
    bool DeleteByRowid(qint64 rowid); // DeleteFirst of the rowid's own filter

    // The table's schema, which m_queries keeps alive.
    const lumarest::dao::TableSchema* m_schema = nullptr;
    std::shared_ptr<const lumarest::dao::RecordsetQueries> m_queries;
    QString m_strSQL;
    bool m_bOpen = false;

    // Position: on a record unless BOF or EOF. The record is the cursor's current
    // row when m_bOnCursor, else m_snapshot (the query's columns: rowid, fields, ...).
    bool m_bBOF = true;
    bool m_bEOF = true;
    bool m_bDeleted = false;
    lumarest::dao::CachedStatement m_cursor;
    // Open prepared the scan in m_cursor but has not stepped it: the position is
    // not known yet (m_bBOF and m_bEOF say nothing until Settle).
    bool m_bPending = false;
    std::vector<qint64> m_addedWhilePending; // rowids the first step passes over
    // A first step that failed while another recordset was writing: raised at
    // this recordset's next look at its position, not at the writer.
    std::exception_ptr m_deferredError;
    bool m_bOnCursor = false;
    bool m_bCursorBackward = false;
    bool m_bCursorFromStart = false; // a scan from the first (or last) record
    // The cursor is the statement of a find, standing on the record it found:
    // its values are copied only when the recordset moves or writes on.
    bool m_bCursorIsFind = false;
    // A find found a record and kept only its rowid: its values are read when
    // first needed (an import that only asks whether a file is catalogued
    // never reads them).
    bool m_bFoundRowidOnly = false;
    qint64 m_nFoundRowid = 0;
    qint64 m_nCursorRow = 0; // rows stepped past in that scan
    std::vector<ValuePtr> m_snapshot;
    // The sort keys of the current record as they were when it became current: an
    // edited record keeps its place for the next move.
    std::vector<ValuePtr> m_keys;

    EditMode m_editMode = EditMode::None;
    qint64 m_nEditRowid = 0;
    std::vector<std::optional<SqlValue>> m_editBuffer;
    mutable int m_nNextFieldHint = 0; // where the next field-name lookup starts
    qint64 m_nLastModified = 0;
};
