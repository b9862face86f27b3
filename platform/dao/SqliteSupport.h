#pragma once
// Owners for SQLite handles and the helpers that turn SQLite failures into
// CDaoException. Internal to the data-access layer.
#include <QByteArray>
#include <QString>
#include <memory>
#include <sqlite3.h>

namespace lumarest::dao {

struct StmtDeleter {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

struct DbDeleter {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbPtr = std::unique_ptr<sqlite3, DbDeleter>;

struct ValueDeleter {
    void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
};
using ValuePtr = std::unique_ptr<sqlite3_value, ValueDeleter>;

// Texts of the errors the layer itself raises.
namespace msg {
inline constexpr const char* kNoCurrentRecord = "No current record.";
inline constexpr const char* kConversion = "Data type conversion error.";
inline constexpr const char* kItemNotFound = "Item not found in this collection.";
inline constexpr const char* kUpdateWithoutEdit = "Update or CancelUpdate without AddNew or Edit.";
inline constexpr const char* kRecordDeleted = "Record is deleted.";
inline constexpr const char* kNotOpen = "The object is not open.";
} // namespace msg

[[noreturn]] void ThrowDao(const QString& description, int sqliteCode = SQLITE_ERROR);
// Raises the connection's current error message with the given result code.
[[noreturn]] void ThrowEngine(sqlite3* db, int rc);

StmtPtr Prepare(sqlite3* db, const QString& sql, bool persistent);
void BindText(sqlite3_stmt* stmt, int index, const QByteArray& utf8);
// Steps a statement that returns no rows (or whose rows are ignored) to its end.
void StepToEnd(sqlite3* db, sqlite3_stmt* stmt);
// Runs one or more plain statements.
void ExecuteSql(sqlite3* db, const QString& sql);
QString QuoteIdentifier(const QString& name);

} // namespace lumarest::dao
