#pragma once
// What the layer knows of a table's columns: names in table order, declared
// types and how values are converted for them. Internal to the data-access layer.
#include <QString>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace lumarest::dao {

enum class FieldKind { Integer, Real, Text, DateTime, Other };

struct FieldSchema {
    QString name;
    QString declaredType;
    FieldKind kind = FieldKind::Other;
    bool rowidKey = false; // INTEGER PRIMARY KEY: the engine assigns it
};

struct TableSchema {
    QString name; // as stored in the database
    std::vector<FieldSchema> fields;

    // Exact spelling first (the common case), then without regard to case; -1 if none.
    // The search starts at `hint`: callers reading a row field by field in a fixed
    // order pass the field after the one found last.
    int IndexOf(const QString& field, int hint = 0) const;
};

FieldKind KindOfDeclaredType(const QString& declaredType);
// Reads the table's columns; null when the table does not exist.
std::shared_ptr<const TableSchema> ReadTableSchema(sqlite3* db, const QString& table);

} // namespace lumarest::dao
