#pragma once
// The value of one field as the data-access layer hands it over: empty, null, a
// 64-bit integer, a floating-point number, a text or a date.
#include "platform/dao/OleDateTime.h"

#include <QString>
#include <concepts>
#include <utility>
#include <variant>

class COleVariant {
public:
    enum Kind { Empty = 0, Null, Long, Double, Text, Date };

    COleVariant() = default;
    template <std::integral T>
    requires(!std::same_as<T, bool>) COleVariant(T value)
        : m_value(static_cast<qint64>(value)) {} // NOLINT: implicit on purpose
    COleVariant(double value) : m_value(value) {}
    COleVariant(const QString& value) : m_value(value) {}
    COleVariant(QString&& value) : m_value(std::move(value)) {}
    COleVariant(const char* value) : m_value(QString::fromUtf8(value)) {}
    COleVariant(const COleDateTime& value);

    static COleVariant MakeNull();

    Kind GetKind() const { return static_cast<Kind>(m_value.index()); }
    bool IsEmpty() const { return GetKind() == Empty; }
    bool IsNull() const { return GetKind() == Null; }

    // Each accessor converts loosely: numbers into each other, numeric text into a
    // number; Null and Empty give 0 or the empty text.
    qint64 GetLong() const;
    double GetDouble() const;
    QString GetText() const; // a date gives "YYYY-MM-DD HH:MM:SS"
    // The text held, without a copy; null unless the kind is Text.
    const QString* TextIf() const { return std::get_if<QString>(&m_value); }
    // The platform's variant-to-date conversion: a date stays, text is parsed (the
    // forms COleDateTime::ParseDateTime accepts), anything else is an invalid date.
    COleDateTime GetDate() const;

    bool operator==(const COleVariant& other) const = default;

private:
    struct NullValue {
        bool operator==(const NullValue&) const = default;
    };
    std::variant<std::monostate, NullValue, qint64, double, QString, COleDateTime> m_value;
};

// The conversion the play list applies to a date field before it formats it.
inline COleDateTime VariantToDate(const COleVariant& value) {
    return value.GetDate();
}
