#include "platform/dao/RecordsetQueries.h"

#include "platform/dao/SqliteSupport.h"

namespace lumarest::dao {
namespace {

// ORDER BY 2 means the second field of the table; our select list starts with the
// rowid, so a number is replaced by the field's name.
QString ResolveOrdinal(const QString& expression, const QStringList& quotedFields) {
    bool ok = false;
    const int ordinal = expression.trimmed().toInt(&ok);
    if (!ok)
        return expression;
    if (ordinal < 1 || ordinal > quotedFields.size())
        ThrowDao(QStringLiteral("ORDER BY term out of range: %1").arg(expression));
    return quotedFields[ordinal - 1];
}

// The field a sort term names when it is a plain column reference ("Name",
// FILES.Name, [FILES].[Name]); -1 for any other expression.
int FieldOfTerm(const QString& expression, const TableSchema& schema) {
    const std::vector<SqlToken> tokens = TokenizeSql(expression);
    const auto nameAt = [&](size_t i) {
        const SqlToken& t = tokens[i];
        if (t.kind != SqlToken::Word && t.kind != SqlToken::QuotedName)
            return QString();
        const QString text = expression.mid(t.start, t.length);
        return t.kind == SqlToken::Word ? text : text.mid(1, text.size() - 2);
    };
    QString field;
    if (tokens.size() == 1) {
        field = nameAt(0);
    } else if (tokens.size() == 3 && tokens[1].kind == SqlToken::Symbol &&
               expression.mid(tokens[1].start, 1) == QLatin1String(".") &&
               nameAt(0).compare(schema.name, Qt::CaseInsensitive) == 0) {
        field = nameAt(2);
    }
    if (field.isEmpty() || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char(']')))
        return -1;
    return schema.IndexOf(field);
}

bool NullsFirstInScan(const OrderTerm& term) {
    if (term.nulls != OrderTerm::DefaultNulls)
        return term.nulls == OrderTerm::NullsFirst;
    return !term.descending; // SQLite puts NULLs first when ascending
}

} // namespace

RecordsetQueries::RecordsetQueries(std::shared_ptr<const TableSchema> tableSchema,
                                   const RecordsetSql& sql)
    : m_schema(std::move(tableSchema)), m_table(QuoteIdentifier(m_schema->name)),
      m_condition(sql.condition), m_order(sql.order) {
    const TableSchema& schema = *m_schema;
    for (const FieldSchema& field : schema.fields)
        m_quotedFields << QuoteIdentifier(field.name);
    QStringList columns{QStringLiteral("rowid")};
    columns << m_quotedFields;
    for (OrderTerm& term : m_order) {
        term.expression = ResolveOrdinal(term.expression, m_quotedFields);
        const int field = FieldOfTerm(term.expression, schema);
        if (field >= 0) {
            m_keyColumns.push_back(FieldColumn(field));
        } else {
            m_keyColumns.push_back(static_cast<int>(columns.size()));
            columns << QLatin1Char('(') + term.expression + QLatin1Char(')');
        }
    }
    m_select = QStringLiteral("SELECT ") + columns.join(QLatin1Char(',')) +
               QStringLiteral(" FROM ") + m_table;
    m_orderForward = OrderBy(false);
    m_orderBackward = OrderBy(true);
    m_scanForward = SqlKey(m_select + Where({}) + m_orderForward);
    m_scanBackward = SqlKey(m_select + Where({}) + m_orderBackward);
    m_count = SqlKey(QStringLiteral("SELECT count(*) FROM ") + m_table + Where({}));
    m_fetchByRowid = SqlKey(m_select + QStringLiteral(" WHERE rowid=?1"));
    m_deleteByRowid =
        SqlKey(QStringLiteral("DELETE FROM ") + m_table + QStringLiteral(" WHERE rowid=?1"));
    m_deleteByRowidInSet =
        SqlKey(QStringLiteral("DELETE FROM ") + m_table + Where(QStringLiteral("rowid=?1")));
}

QString RecordsetQueries::OrderBy(bool backward) const {
    QStringList terms;
    for (const OrderTerm& term : m_order) {
        const bool descending = term.descending != backward;
        QString text = term.expression + (descending ? QStringLiteral(" DESC") : QString());
        if (term.nulls != OrderTerm::DefaultNulls) {
            const bool first = (term.nulls == OrderTerm::NullsFirst) != backward;
            text += first ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
        }
        terms << text;
    }
    terms << (backward ? QStringLiteral("rowid DESC") : QStringLiteral("rowid"));
    return QStringLiteral(" ORDER BY ") + terms.join(QStringLiteral(", "));
}

QString RecordsetQueries::Where(const QString& extra) const {
    // The line break ends a trailing "--" comment inside the caller's text.
    QStringList parts;
    if (!m_condition.isEmpty())
        parts << QLatin1Char('(') + m_condition + QStringLiteral("\n)");
    if (!extra.isEmpty())
        parts << QLatin1Char('(') + extra + QStringLiteral("\n)");
    return parts.isEmpty() ? QString()
                           : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

SqlKey RecordsetQueries::Find(const QString& filter) const {
    if (m_lastFind.IsEmpty() || filter != m_lastFilter) {
        m_lastFind = SqlKey(m_select + Where(filter) + m_orderForward + QStringLiteral(" LIMIT 1"));
        m_lastFilter = filter;
    }
    return m_lastFind;
}

const SqlKey& RecordsetQueries::FindRowid(const QString& filter) const {
    if (m_lastRowidFind.IsEmpty() || filter != m_lastRowidFilter) {
        m_lastRowidFind = SqlKey(QStringLiteral("SELECT rowid FROM ") + m_table + Where(filter) +
                                 m_orderForward + QStringLiteral(" LIMIT 1"));
        m_lastRowidFilter = filter;
    }
    return m_lastRowidFind;
}

SqlKey RecordsetQueries::DeleteFirst(const QString& filter) const {
    if (m_lastDelete.IsEmpty() || filter != m_lastDeleteFilter) {
        m_lastDelete =
            SqlKey(QStringLiteral("DELETE FROM ") + m_table +
                   QStringLiteral(" WHERE rowid=(SELECT rowid FROM ") + m_table + Where(filter) +
                   m_orderForward + QStringLiteral(" LIMIT 1) RETURNING rowid"));
        m_lastDeleteFilter = filter;
    }
    return m_lastDelete;
}

QString RecordsetQueries::StepTerm(int term, bool keyIsNull) const {
    const OrderTerm& t = m_order[static_cast<size_t>(term)];
    const QString e = QLatin1Char('(') + t.expression + QLatin1Char(')');
    const QString param = QStringLiteral("?%1").arg(term + 1);
    const bool nullsFirst = NullsFirstInScan(t);
    const bool ascending = !t.descending;
    if (keyIsNull)
        return nullsFirst ? e + QStringLiteral(" IS NOT NULL") : QStringLiteral("0");
    const QString compare = e + (ascending ? QStringLiteral(" > ") : QStringLiteral(" < ")) + param;
    return nullsFirst ? compare
                      : QLatin1Char('(') + compare + QStringLiteral(" OR ") + e +
                            QStringLiteral(" IS NULL)");
}

SqlKey RecordsetQueries::StepFrom(const std::vector<bool>& keyIsNull) const {
    QStringList alternatives;
    QStringList equalSoFar;
    for (int i = 0; i < KeyCount(); ++i) {
        QStringList both = equalSoFar;
        both << StepTerm(i, keyIsNull[static_cast<size_t>(i)]);
        alternatives << QLatin1Char('(') + both.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        equalSoFar << QStringLiteral("(%1) IS ?%2")
                          .arg(m_order[static_cast<size_t>(i)].expression, QString::number(i + 1));
    }
    equalSoFar << QStringLiteral("rowid > ?") + QString::number(KeyCount() + 1);
    alternatives << QLatin1Char('(') + equalSoFar.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    return SqlKey(m_select + Where(alternatives.join(QStringLiteral(" OR "))) + m_orderForward);
}

bool RecordsetQueries::Cacheable(const std::vector<int>& fields) {
    for (int field : fields) {
        if (field >= 64)
            return false;
    }
    return true;
}

uint64_t RecordsetQueries::MaskOf(const std::vector<int>& fields) {
    uint64_t mask = 0;
    for (int field : fields)
        mask |= uint64_t{1} << field;
    return mask;
}

SqlKey RecordsetQueries::Insert(const std::vector<int>& fields) const {
    if (!Cacheable(fields))
        return SqlKey(BuildInsert(fields));
    SqlKey& key = m_insertTexts[MaskOf(fields)];
    if (key.IsEmpty())
        key = SqlKey(BuildInsert(fields));
    return key;
}

SqlKey RecordsetQueries::Update(const std::vector<int>& fields) const {
    if (!Cacheable(fields))
        return SqlKey(BuildUpdate(fields));
    SqlKey& key = m_updateTexts[MaskOf(fields)];
    if (key.IsEmpty())
        key = SqlKey(BuildUpdate(fields));
    return key;
}

QString RecordsetQueries::BuildInsert(const std::vector<int>& fields) const {
    if (fields.empty())
        return QStringLiteral("INSERT INTO ") + m_table + QStringLiteral(" DEFAULT VALUES");
    QStringList names;
    QStringList params;
    for (size_t i = 0; i < fields.size(); ++i) {
        names << m_quotedFields[fields[i]];
        params << QStringLiteral("?%1").arg(i + 1);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(m_table, names.join(QLatin1Char(',')), params.join(QLatin1Char(',')));
}

QString RecordsetQueries::BuildUpdate(const std::vector<int>& fields) const {
    QStringList assignments;
    for (size_t i = 0; i < fields.size(); ++i)
        assignments << m_quotedFields[fields[i]] + QStringLiteral("=?") + QString::number(i + 1);
    return QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?%3")
        .arg(m_table, assignments.join(QLatin1Char(',')), QString::number(fields.size() + 1));
}

} // namespace lumarest::dao
