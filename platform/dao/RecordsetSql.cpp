#include "platform/dao/RecordsetSql.h"

#include "platform/dao/SqliteSupport.h"

#include <QStringList>

namespace lumarest::dao {
namespace {

bool IsWordStart(QChar c) {
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}
bool IsWordChar(QChar c) {
    return IsWordStart(c) || c.isDigit() || c == u'$';
}

// Index just past a quoted run that starts at i with `open` and ends with `close`
// (a doubled closing character stands for itself).
qsizetype SkipQuoted(QStringView s, qsizetype i, QChar close) {
    ++i;
    while (i < s.size()) {
        if (s[i] == close) {
            if (close != u']' && i + 1 < s.size() && s[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

qsizetype SkipNumber(QStringView s, qsizetype i) {
    if (s[i] == u'0' && i + 1 < s.size() && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        i += 2;
        while (i < s.size() && (s[i].isDigit() || QStringLiteral("abcdefABCDEF").contains(s[i])))
            ++i;
        return i;
    }
    while (i < s.size() && (s[i].isDigit() || s[i] == u'.'))
        ++i;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        while (i < s.size() && s[i].isDigit())
            ++i;
    }
    return i;
}

// Index past a comment starting at i, or i when none starts there.
qsizetype SkipComment(QStringView s, qsizetype i) {
    if (s.mid(i).startsWith(u"--")) {
        const qsizetype end = s.indexOf(u'\n', i);
        return end < 0 ? s.size() : end + 1;
    }
    if (s.mid(i).startsWith(u"/*")) {
        const qsizetype end = s.indexOf(u"*/", i + 2);
        return end < 0 ? s.size() : end + 2;
    }
    return i;
}

class TokenView {
public:
    TokenView(const QString& sql, std::vector<SqlToken> tokens)
        : m_sql(sql), m_tokens(std::move(tokens)) {}

    qsizetype Size() const { return static_cast<qsizetype>(m_tokens.size()); }
    const SqlToken& At(qsizetype i) const { return m_tokens[static_cast<size_t>(i)]; }
    QStringView Text(qsizetype i) const {
        return QStringView(m_sql).mid(At(i).start, At(i).length);
    }

    bool IsWord(qsizetype i, QStringView word) const {
        return i >= 0 && i < Size() && At(i).kind == SqlToken::Word && At(i).depth == 0 &&
               Text(i).compare(word, Qt::CaseInsensitive) == 0;
    }
    bool IsSymbol(qsizetype i, QChar symbol) const {
        return i >= 0 && i < Size() && At(i).kind == SqlToken::Symbol && At(i).depth == 0 &&
               Text(i).size() == 1 && Text(i)[0] == symbol;
    }
    // Source text of tokens [first, last].
    QString Span(qsizetype first, qsizetype last) const {
        const qsizetype end = At(last).start + At(last).length;
        return m_sql.mid(At(first).start, end - At(first).start);
    }

private:
    const QString& m_sql;
    std::vector<SqlToken> m_tokens;
};

[[noreturn]] void Unsupported(const QString& sql) {
    ThrowDao(QStringLiteral("The query is not supported here; expected SELECT * FROM <table> "
                            "[WHERE ...] [ORDER BY ...]: %1")
                 .arg(sql));
}

QString Unquote(QStringView text) {
    if (text.size() >= 2 && (text[0] == u'"' || text[0] == u'[' || text[0] == u'`')) {
        const QChar close = text[0] == u'[' ? QChar(u']') : text[0];
        QString inner = text.mid(1, text.size() - 2).toString();
        if (close != u']')
            inner.replace(QString(2, close), QString(close));
        return inner;
    }
    return text.toString();
}

OrderTerm ParseOrderTerm(const TokenView& t, qsizetype first, qsizetype last, const QString& sql) {
    OrderTerm term;
    if (last - 1 > first && t.IsWord(last - 1, u"NULLS")) {
        if (t.IsWord(last, u"FIRST"))
            term.nulls = OrderTerm::NullsFirst;
        else if (t.IsWord(last, u"LAST"))
            term.nulls = OrderTerm::NullsLast;
        else
            Unsupported(sql);
        last -= 2;
    }
    if (last > first && (t.IsWord(last, u"ASC") || t.IsWord(last, u"DESC"))) {
        term.descending = t.IsWord(last, u"DESC");
        --last;
    }
    for (qsizetype i = first; i <= last; ++i) {
        if (t.IsWord(i, u"LIMIT") || t.IsWord(i, u"OFFSET"))
            Unsupported(sql);
    }
    term.expression = t.Span(first, last);
    return term;
}

std::vector<OrderTerm> ParseOrderBy(const TokenView& t, qsizetype first, qsizetype last,
                                    const QString& sql) {
    std::vector<OrderTerm> terms;
    qsizetype start = first;
    for (qsizetype i = first; i <= last + 1; ++i) {
        if (i <= last && !t.IsSymbol(i, u','))
            continue;
        if (i == start)
            Unsupported(sql);
        terms.push_back(ParseOrderTerm(t, start, i - 1, sql));
        start = i + 1;
    }
    return terms;
}

} // namespace

std::vector<SqlToken> TokenizeSql(QStringView s) {
    std::vector<SqlToken> tokens;
    int depth = 0;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (const qsizetype after = SkipComment(s, i); after != i) {
            i = after;
            continue;
        }
        SqlToken token;
        token.start = i;
        token.depth = depth;
        if (c == u'\'') {
            token.kind = SqlToken::String;
            i = SkipQuoted(s, i, u'\'');
        } else if (c == u'"' || c == u'`' || c == u'[') {
            token.kind = SqlToken::QuotedName;
            i = SkipQuoted(s, i, c == u'[' ? QChar(u']') : c);
        } else if (c.isDigit() || (c == u'.' && i + 1 < s.size() && s[i + 1].isDigit())) {
            token.kind = SqlToken::Number;
            i = SkipNumber(s, i);
        } else if (IsWordStart(c)) {
            token.kind = SqlToken::Word;
            while (i < s.size() && IsWordChar(s[i]))
                ++i;
        } else if (c == u'?' || c == u':' || c == u'@' || c == u'$') {
            token.kind = SqlToken::Parameter;
            ++i;
            while (i < s.size() && IsWordChar(s[i]))
                ++i;
        } else {
            token.kind = SqlToken::Symbol;
            if (c == u'(')
                ++depth;
            else if (c == u')')
                token.depth = depth = depth > 0 ? depth - 1 : 0;
            ++i;
        }
        token.length = i - token.start;
        tokens.push_back(token);
    }
    return tokens;
}

RecordsetSql ParseRecordsetSql(const QString& sql) {
    const TokenView t(sql, TokenizeSql(sql));
    qsizetype end = t.Size();
    while (end > 0 && t.IsSymbol(end - 1, u';'))
        --end;
    if (end < 4 || !t.IsWord(0, u"SELECT") || !t.IsSymbol(1, u'*') || !t.IsWord(2, u"FROM"))
        Unsupported(sql);
    const SqlToken::Kind tableKind = t.At(3).kind;
    if (tableKind != SqlToken::Word && tableKind != SqlToken::QuotedName)
        Unsupported(sql);

    RecordsetSql result;
    result.table = Unquote(t.Text(3));
    qsizetype orderAt = -1;
    for (qsizetype i = 4; i + 1 < end; ++i) {
        if (t.IsWord(i, u"ORDER") && t.IsWord(i + 1, u"BY")) {
            orderAt = i;
            break;
        }
    }
    const qsizetype whereEnd = orderAt < 0 ? end : orderAt;
    if (whereEnd > 4) {
        if (!t.IsWord(4, u"WHERE") || whereEnd == 5)
            Unsupported(sql);
        result.condition = t.Span(5, whereEnd - 1);
    }
    if (orderAt >= 0) {
        if (orderAt + 2 >= end)
            Unsupported(sql);
        result.order = ParseOrderBy(t, orderAt + 2, end - 1, sql);
    }
    for (qsizetype i = 4; i < end; ++i) {
        if (t.IsSymbol(i, u';'))
            Unsupported(sql); // a second statement
    }
    return result;
}

bool MatchIntegerEquality(const QString& filter, QString& column, qint64& value) {
    const TokenView t(filter, TokenizeSql(filter));
    const qsizetype n = t.Size();
    if (n < 3 || n > 4)
        return false;
    const SqlToken::Kind nameKind = t.At(0).kind;
    if ((nameKind != SqlToken::Word && nameKind != SqlToken::QuotedName) || !t.IsSymbol(1, u'='))
        return false;
    const bool sign = n == 4;
    if (sign && !t.IsSymbol(2, u'-') && !t.IsSymbol(2, u'+'))
        return false;
    const qsizetype numberAt = n - 1;
    const QStringView digits = t.Text(numberAt);
    if (t.At(numberAt).kind != SqlToken::Number || digits.size() > 18)
        return false;
    for (QChar c : digits) {
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    }
    static const QStringList kKeywords = {QStringLiteral("NOT"), QStringLiteral("NULL"),
                                          QStringLiteral("CASE"), QStringLiteral("EXISTS")};
    if (nameKind == SqlToken::Word && kKeywords.contains(t.Text(0).toString(), Qt::CaseInsensitive))
        return false;
    column = t.Text(0).toString();
    value = digits.toLongLong();
    if (sign && t.IsSymbol(2, u'-'))
        value = -value;
    return true;
}

} // namespace lumarest::dao
