#include "platform/dao/FieldValues.h"

#include "platform/dao/SqliteSupport.h"

#include <cmath>
#include <limits>

namespace lumarest::dao {
namespace {

[[noreturn]] void ConversionError() {
    ThrowDao(QString::fromLatin1(msg::kConversion), SQLITE_MISMATCH);
}

qint64 RoundToInteger(double d) {
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double kLimit = 9223372036854775808.0;
    const double r = std::nearbyint(d);
    if (!std::isfinite(r) || r >= kLimit || r < -kLimit)
        ConversionError();
    return static_cast<qint64>(r);
}

QByteArray DateText(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid)
        ConversionError();
    return date.ToSqliteUtf8();
}

SqlValue ToDateField(const COleVariant& value) {
    switch (value.GetKind()) {
    case COleVariant::Date:
        return DateText(value.GetDate());
    case COleVariant::Text:
        return DateText(COleDateTime::FromText(value.GetText()));
    default:
        ConversionError();
    }
}

SqlValue ToIntegerField(const COleVariant& value) {
    switch (value.GetKind()) {
    case COleVariant::Long:
        return value.GetLong();
    case COleVariant::Double:
        return RoundToInteger(value.GetDouble());
    case COleVariant::Text: {
        const QString text = value.GetText().trimmed();
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        if (ok)
            return n;
        const double d = text.toDouble(&ok);
        if (!ok)
            ConversionError();
        return RoundToInteger(d);
    }
    default:
        ConversionError();
    }
}

SqlValue ToRealField(const COleVariant& value) {
    switch (value.GetKind()) {
    case COleVariant::Long:
    case COleVariant::Double:
        return value.GetDouble();
    case COleVariant::Text: {
        bool ok = false;
        const double d = value.GetText().trimmed().toDouble(&ok);
        if (!ok)
            ConversionError();
        return d;
    }
    default:
        ConversionError();
    }
}

SqlValue AsStored(const COleVariant& value) {
    switch (value.GetKind()) {
    case COleVariant::Long:
        return value.GetLong();
    case COleVariant::Double:
        return value.GetDouble();
    case COleVariant::Date:
        return DateText(value.GetDate());
    default:
        return value.GetText().toUtf8();
    }
}

COleVariant TextVariant(const unsigned char* text, int bytes, FieldKind kind) {
    const char* p = reinterpret_cast<const char*>(text);
    if (kind == FieldKind::DateTime) {
        const COleDateTime date = COleDateTime::FromSqliteText(p, bytes);
        if (date.GetStatus() == COleDateTime::valid)
            return COleVariant(date);
    }
    return COleVariant(QString::fromUtf8(p, bytes));
}

} // namespace

SqlValue ConvertForField(const COleVariant& value, const FieldSchema& field) {
    if (value.IsNull() || value.IsEmpty())
        return std::monostate{};
    switch (field.kind) {
    case FieldKind::DateTime:
        return ToDateField(value);
    case FieldKind::Integer:
        return ToIntegerField(value);
    case FieldKind::Real:
        return ToRealField(value);
    case FieldKind::Text:
        return value.GetText().toUtf8();
    case FieldKind::Other:
        break;
    }
    return AsStored(value);
}

void BindSqlValue(sqlite3_stmt* stmt, int index, const SqlValue& value) {
    if (const auto* n = std::get_if<qint64>(&value))
        sqlite3_bind_int64(stmt, index, *n);
    else if (const auto* d = std::get_if<double>(&value))
        sqlite3_bind_double(stmt, index, *d);
    else if (const auto* text = std::get_if<QByteArray>(&value))
        sqlite3_bind_text64(stmt, index, text->constData(),
                            static_cast<sqlite3_uint64>(text->size()), SQLITE_STATIC, SQLITE_UTF8);
    else
        sqlite3_bind_null(stmt, index);
}

SqlValue ParameterValue(const COleVariant& value) {
    if (value.IsNull() || value.IsEmpty())
        return std::monostate{};
    return AsStored(value);
}

bool ParameterBinder::BindAscii(sqlite3_stmt* stmt, int index, QStringView text) {
    const size_t size = static_cast<size_t>(text.size());
    if (size > m_buffer.size() - m_used)
        return false;
    char* out = m_buffer.data() + m_used;
    char16_t any = 0;
    for (size_t i = 0; i < size; ++i) {
        const char16_t c = text.utf16()[i];
        any |= c;
        out[i] = static_cast<char>(c);
    }
    if (any >= 0x80)
        return false;
    m_used += size;
    sqlite3_bind_text64(stmt, index, out, size, SQLITE_STATIC, SQLITE_UTF8);
    return true;
}

void ParameterBinder::Bind(sqlite3_stmt* stmt, int index, const COleVariant& value) {
    if (const QString* text = value.TextIf(); text && BindAscii(stmt, index, *text))
        return;
    const SqlValue stored = ParameterValue(value);
    if (const auto* text = std::get_if<QByteArray>(&stored))
        sqlite3_bind_text64(stmt, index, text->constData(),
                            static_cast<sqlite3_uint64>(text->size()), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
    else
        BindSqlValue(stmt, index, stored);
}

COleVariant ReadColumn(sqlite3_stmt* stmt, int column, FieldKind kind) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return COleVariant(static_cast<qint64>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return COleVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const unsigned char* text = sqlite3_column_text(stmt, column);
        return TextVariant(text, sqlite3_column_bytes(stmt, column), kind);
    }
    case SQLITE_NULL:
        return COleVariant::MakeNull();
    default:
        return COleVariant();
    }
}

COleVariant ReadValue(sqlite3_value* value, FieldKind kind) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return COleVariant(static_cast<qint64>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return COleVariant(sqlite3_value_double(value));
    case SQLITE_TEXT: {
        const unsigned char* text = sqlite3_value_text(value);
        return TextVariant(text, sqlite3_value_bytes(value), kind);
    }
    case SQLITE_NULL:
        return COleVariant::MakeNull();
    default:
        return COleVariant();
    }
}

} // namespace lumarest::dao
