#pragma once
// The statements a recordset runs over its table. Every query selects the rowid,
// the table's fields in table order and then the sort keys, and orders by the
// recordset's terms with the rowid last, so that every query agrees on one order.
// Internal to the data-access layer.
#include "platform/dao/RecordsetSql.h"
#include "platform/dao/StatementCache.h"
#include "platform/dao/TableSchema.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace lumarest::dao {

class RecordsetQueries {
public:
    RecordsetQueries(std::shared_ptr<const TableSchema> schema, const RecordsetSql& sql);

    const std::shared_ptr<const TableSchema>& Schema() const { return m_schema; }

    int FieldCount() const { return static_cast<int>(m_quotedFields.size()); }
    int KeyCount() const { return static_cast<int>(m_order.size()); }
    // Result columns: 0 the rowid, 1..FieldCount() the fields, then the sort keys
    // that are not simply fields of the table.
    int FieldColumn(int field) const { return field + 1; }
    int KeyColumn(int key) const { return m_keyColumns[static_cast<size_t>(key)]; }

    // The texts are built once; the keys returned share them.
    const SqlKey& Scan(bool backward) const { return backward ? m_scanBackward : m_scanForward; }
    // The first record matching the filter, in the recordset's order.
    SqlKey Find(const QString& filter) const;
    // The rowid alone of that record: an index that holds the filter's fields
    // answers it without reading the record. The key returned stays valid until
    // the next call with another filter.
    const SqlKey& FindRowid(const QString& filter) const;
    // Deletes the record Find(filter) would find, in one statement, returning its rowid.
    SqlKey DeleteFirst(const QString& filter) const;
    // The records after a record whose keys are bound as ?1..?k and whose rowid is
    // ?k+1; keyIsNull tells which keys are NULL.
    SqlKey StepFrom(const std::vector<bool>& keyIsNull) const;
    const SqlKey& Count() const { return m_count; }
    const SqlKey& FetchByRowid() const { return m_fetchByRowid; } // ?1 = rowid
    // The fields are given in table order and bound as ?1..?n in that order.
    SqlKey Insert(const std::vector<int>& fields) const;
    SqlKey Update(const std::vector<int>& fields) const; // rowid bound last
    const SqlKey& DeleteByRowid() const { return m_deleteByRowid; }
    // Deletes the record whose rowid is ?1 if it meets the recordset's condition.
    const SqlKey& DeleteByRowidInSet() const { return m_deleteByRowidInSet; }

private:
    QString OrderBy(bool backward) const;
    QString Where(const QString& extra) const;
    QString StepTerm(int term, bool keyIsNull) const;
    QString BuildInsert(const std::vector<int>& fields) const;
    QString BuildUpdate(const std::vector<int>& fields) const;
    // Texts built before, by the set of fields written (tables of up to 64 fields).
    static bool Cacheable(const std::vector<int>& fields);
    static uint64_t MaskOf(const std::vector<int>& fields);

    std::shared_ptr<const TableSchema> m_schema;
    QString m_table; // quoted
    QString m_select;
    QString m_condition;
    std::vector<OrderTerm> m_order;
    QStringList m_quotedFields;
    std::vector<int> m_keyColumns;
    QString m_orderForward;
    QString m_orderBackward;
    SqlKey m_scanForward;
    SqlKey m_scanBackward;
    SqlKey m_count;
    SqlKey m_fetchByRowid;
    SqlKey m_deleteByRowid;
    SqlKey m_deleteByRowidInSet;
    mutable std::unordered_map<uint64_t, SqlKey> m_insertTexts;
    mutable std::unordered_map<uint64_t, SqlKey> m_updateTexts;
    mutable QString m_lastFilter; // the import finds with the same filter every time
    mutable SqlKey m_lastFind;
    mutable QString m_lastRowidFilter;
    mutable SqlKey m_lastRowidFind;
    mutable QString m_lastDeleteFilter; // the deletes of a play list use one filter too
    mutable SqlKey m_lastDelete;
};

} // namespace lumarest::dao
