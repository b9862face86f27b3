#include "platform/dao/DaoTableDef.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/SqliteSupport.h"
#include "platform/dao/TableSchema.h"

#include <QStringList>

using namespace lumarest::dao;

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString DeclaredType(short type, long size) {
    switch (type) {
    case dbInteger:
        return QStringLiteral("SMALLINT");
    case dbLong:
        return QStringLiteral("INTEGER");
    case dbDouble:
        return QStringLiteral("DOUBLE");
    case dbDate:
        return QStringLiteral("DATETIME");
    case dbText:
        return QStringLiteral("VARCHAR(%1)").arg(size > 0 ? size : 255);
    case dbMemo:
        return QStringLiteral("TEXT");
    default:
        ThrowDao(QStringLiteral("Invalid field data type %1.").arg(type));
    }
}

} // namespace

CDaoTableDef::CDaoTableDef(CDaoDatabase* database) : m_pDatabase(database) {}

void CDaoTableDef::RequireState(State state) const {
    if (m_state != state)
        ThrowDao(QString::fromLatin1(state == State::New ? "The table definition is not a new one."
                                                         : msg::kNotOpen),
                 SQLITE_MISUSE);
}

void CDaoTableDef::Create(const QString& name, long attributes, const QString& srcTable,
                          const QString& connect) {
    Q_UNUSED(attributes);
    if (!m_pDatabase || !m_pDatabase->IsOpen())
        ThrowDao(QString::fromLatin1(msg::kNotOpen), SQLITE_MISUSE);
    if (!srcTable.isEmpty() || !connect.isEmpty())
        ThrowDao(QStringLiteral("Linked tables are not supported."));
    if (name.trimmed().isEmpty())
        ThrowDao(QStringLiteral("The table name is empty."));
    Close();
    m_strName = name;
    m_state = State::New;
}

void CDaoTableDef::Open(const QString& name) {
    if (!m_pDatabase)
        ThrowDao(QString::fromLatin1(msg::kNotOpen), SQLITE_MISUSE);
    Close();
    const auto schema = m_pDatabase->TableSchemaFor(name);
    m_strName = schema->name;
    for (const FieldSchema& field : schema->fields)
        m_fields.push_back(FieldDef{field.name, 0, 0, field.rowidKey ? dbAutoIncrField : 0});
    m_state = State::Open;
}

void CDaoTableDef::Close() {
    m_state = State::Closed;
    m_strName.clear();
    m_fields.clear();
    m_indexes.clear();
}

int CDaoTableDef::GetFieldCount() const {
    return static_cast<int>(m_fields.size());
}

void CDaoTableDef::CreateField(const QString& name, short type, long size, long attributes) {
    if (m_state == State::Closed)
        RequireState(State::New);
    if (name.trimmed().isEmpty())
        ThrowDao(QStringLiteral("The field name is empty."));
    for (const FieldDef& field : m_fields) {
        if (SameName(field.name, name))
            ThrowDao(QStringLiteral("Cannot define field '%1' more than once.").arg(name));
    }
    const bool autoIncrement = (attributes & dbAutoIncrField) != 0;
    if (autoIncrement && type != dbLong)
        ThrowDao(QStringLiteral("Only a long integer field can be an auto-increment field."));
    for (const FieldDef& field : m_fields) {
        if (autoIncrement && (field.attributes & dbAutoIncrField) != 0)
            ThrowDao(QStringLiteral("A table can have only one auto-increment field."));
    }
    FieldDef field{name, type, size, attributes};
    if (m_state == State::Open) {
        if (autoIncrement)
            ThrowDao(QStringLiteral("An auto-increment field cannot be added to an existing "
                                    "table."));
        m_pDatabase->Execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2")
                                 .arg(QuoteIdentifier(m_strName), ColumnDefinition(field, false)));
    } else {
        DeclaredType(type, size); // rejects an unknown type now, not at Append
    }
    m_fields.push_back(std::move(field));
}

void CDaoTableDef::CreateIndex(const CDaoIndexInfo& index) {
    if (m_state == State::Closed)
        RequireState(State::New);
    if (index.m_strName.trimmed().isEmpty() || index.m_fields.empty())
        ThrowDao(QStringLiteral("An index needs a name and at least one field."));
    if (m_state == State::Open)
        m_pDatabase->Execute(CreateIndexSql(index));
    m_indexes.push_back(index);
}

bool CDaoTableDef::IsRequired(const QString& field) const {
    for (const CDaoIndexInfo& index : m_indexes) {
        if (!index.m_bRequired && !index.m_bPrimary)
            continue;
        for (const CDaoIndexFieldInfo& indexField : index.m_fields) {
            if (SameName(indexField.m_strName, field))
                return true;
        }
    }
    return false;
}

QString CDaoTableDef::ColumnDefinition(const FieldDef& field, bool required) const {
    QString sql = QuoteIdentifier(field.name) + QLatin1Char(' ');
    if ((field.attributes & dbAutoIncrField) != 0)
        return sql + QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    sql += DeclaredType(field.type, field.size);
    if (required)
        sql += QStringLiteral(" NOT NULL");
    return sql;
}

QString CDaoTableDef::CreateTableSql() const {
    QStringList columns;
    for (const FieldDef& field : m_fields)
        columns << ColumnDefinition(field, IsRequired(field.name));
    return QStringLiteral("CREATE TABLE %1 (%2)")
        .arg(QuoteIdentifier(m_strName), columns.join(QStringLiteral(", ")));
}

QString CDaoTableDef::CreateIndexSql(const CDaoIndexInfo& index) const {
    QStringList columns;
    QStringList notNull;
    for (const CDaoIndexFieldInfo& field : index.m_fields) {
        columns << QuoteIdentifier(field.m_strName) +
                       (field.m_bDescending ? QStringLiteral(" DESC") : QString());
        notNull << QuoteIdentifier(field.m_strName) + QStringLiteral(" IS NOT NULL");
    }
    const bool unique = index.m_bUnique || index.m_bPrimary;
    QString sql =
        QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
            .arg(unique ? QStringLiteral("UNIQUE ") : QString(), QuoteIdentifier(index.m_strName),
                 QuoteIdentifier(m_strName), columns.join(QStringLiteral(", ")));
    if (index.m_bIgnoreNulls)
        sql += QStringLiteral(" WHERE ") + notNull.join(QStringLiteral(" AND "));
    return sql;
}

void CDaoTableDef::Append() {
    RequireState(State::New);
    if (m_fields.empty())
        ThrowDao(QStringLiteral("The table '%1' has no fields.").arg(m_strName));
    QStringList statements{CreateTableSql()};
    for (const CDaoIndexInfo& index : m_indexes)
        statements << CreateIndexSql(index);
    // One savepoint around it all: a failing index leaves no half-made table.
    CDaoTransaction transaction(*m_pDatabase);
    for (const QString& sql : statements)
        m_pDatabase->Execute(sql);
    transaction.Commit();
    m_state = State::Open;
}
