#include "platform/dao/TableSchema.h"

#include "platform/dao/SqliteSupport.h"

#include <cstring>

namespace lumarest::dao {

namespace {

bool SameSpelling(const QString& a, const QString& b) {
    return a.size() == b.size() &&
           std::memcmp(a.constData(), b.constData(), static_cast<size_t>(a.size()) * 2) == 0;
}

} // namespace

int TableSchema::IndexOf(const QString& field, int hint) const {
    const int count = static_cast<int>(fields.size());
    if (hint < 0 || hint >= count)
        hint = 0;
    for (int n = 0, i = hint; n < count; ++n, i = (i + 1 == count ? 0 : i + 1)) {
        if (SameSpelling(fields[i].name, field))
            return i;
    }
    for (int i = 0; i < count; ++i) {
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

FieldKind KindOfDeclaredType(const QString& declaredType) {
    const QString t = declaredType.toUpper();
    if (t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME")))
        return FieldKind::DateTime;
    if (t.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT")))
        return FieldKind::Text;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB")))
        return FieldKind::Real;
    return FieldKind::Other;
}

std::shared_ptr<const TableSchema> ReadTableSchema(sqlite3* db, const QString& table) {
    StmtPtr nameStmt =
        Prepare(db,
                QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name=?1 "
                               "COLLATE NOCASE"),
                false);
    BindText(nameStmt.get(), 1, table.toUtf8());
    int rc = sqlite3_step(nameStmt.get());
    if (rc == SQLITE_DONE)
        return nullptr;
    if (rc != SQLITE_ROW)
        ThrowEngine(db, rc);
    auto schema = std::make_shared<TableSchema>();
    schema->name =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(nameStmt.get(), 0)));

    StmtPtr info =
        Prepare(db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"), false);
    BindText(info.get(), 1, schema->name.toUtf8());
    int primaryKeyColumns = 0;
    while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
        FieldSchema field;
        field.name =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0)));
        field.declaredType =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)));
        field.kind = KindOfDeclaredType(field.declaredType);
        field.rowidKey =
            sqlite3_column_int(info.get(), 2) > 0 &&
            field.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        primaryKeyColumns += sqlite3_column_int(info.get(), 2) > 0 ? 1 : 0;
        schema->fields.push_back(std::move(field));
    }
    if (rc != SQLITE_DONE)
        ThrowEngine(db, rc);
    if (primaryKeyColumns != 1) {
        for (FieldSchema& field : schema->fields)
            field.rowidKey = false;
    }
    return schema;
}

} // namespace lumarest::dao
