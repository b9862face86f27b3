#pragma once
// Reading the statements a recordset is opened with: "SELECT * FROM <table>
// [WHERE <condition>] [ORDER BY <terms>][;]". Internal to the data-access layer.
#include <QString>
#include <QStringView>
#include <vector>

namespace lumarest::dao {

struct SqlToken {
    enum Kind { Word, QuotedName, String, Number, Symbol, Parameter };
    Kind kind = Word;
    qsizetype start = 0;
    qsizetype length = 0;
    int depth = 0; // parenthesis depth at the token
};

// Splits SQL text into tokens; blanks and comments are dropped.
std::vector<SqlToken> TokenizeSql(QStringView sql);

struct OrderTerm {
    QString expression; // as written, COLLATE included
    bool descending = false;
    enum Nulls { DefaultNulls, NullsFirst, NullsLast } nulls = DefaultNulls;
};

struct RecordsetSql {
    QString table;     // unquoted
    QString condition; // empty when there is no WHERE
    std::vector<OrderTerm> order;
};

// Throws CDaoException when the text is not a query over one table in that form.
RecordsetSql ParseRecordsetSql(const QString& sql);

// Recognises a filter of the form <name> = <integer>, such as ID_Files=42, so that
// it can run as one prepared statement with the number bound.
bool MatchIntegerEquality(const QString& filter, QString& column, qint64& value);

} // namespace lumarest::dao
