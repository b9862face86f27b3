#pragma once
// Conversions between COleVariant and what SQLite stores, by the kind of field.
// Internal to the data-access layer.
#include "platform/dao/OleVariant.h"
#include "platform/dao/TableSchema.h"

#include <QByteArray>
#include <QStringView>
#include <array>
#include <sqlite3.h>
#include <variant>

namespace lumarest::dao {

// NULL, an integer, a floating-point number or UTF-8 text, ready to bind.
using SqlValue = std::variant<std::monostate, qint64, double, QByteArray>;

// The value a field receives: text written to a date field becomes SQLite's date
// text; a value the field cannot take raises "Data type conversion error.".
SqlValue ConvertForField(const COleVariant& value, const FieldSchema& field);
// Binds a text without copying it: the value must stay as it is until the
// statement is reset and its bindings cleared (CachedStatement::Release does both).
void BindSqlValue(sqlite3_stmt* stmt, int index, const SqlValue& value);
// A parameter of a filter as it is stored (a date as SQLite's date text).
SqlValue ParameterValue(const COleVariant& value);

// Binds a filter's values as ParameterValue gives them. A plain ASCII text is
// bound from a buffer held here, with no copy on the heap, so the binder must
// outlive the statement's use of the values; other texts are copied by SQLite.
class ParameterBinder {
public:
    void Bind(sqlite3_stmt* stmt, int index, const COleVariant& value);

private:
    bool BindAscii(sqlite3_stmt* stmt, int index, QStringView text);

    std::array<char, 1024> m_buffer;
    size_t m_used = 0;
};

// A stored value as a variant: date fields give a Date (Text when the stored text
// is no date), integers a 64-bit Long, NULL a Null.
COleVariant ReadColumn(sqlite3_stmt* stmt, int column, FieldKind kind);
COleVariant ReadValue(sqlite3_value* value, FieldKind kind);

} // namespace lumarest::dao
