#include "platform/dao/OleVariant.h"

#include <cmath>

COleVariant::COleVariant(const COleDateTime& value) {
    if (value.GetStatus() == COleDateTime::null)
        m_value = NullValue{};
    else
        m_value = value;
}

COleVariant COleVariant::MakeNull() {
    COleVariant result;
    result.m_value = NullValue{};
    return result;
}

qint64 COleVariant::GetLong() const {
    switch (GetKind()) {
    case Long:
        return std::get<qint64>(m_value);
    case Double: {
        const double d = std::get<double>(m_value);
        return std::isfinite(d) ? static_cast<qint64>(std::llround(d)) : 0;
    }
    case Text: {
        const QString text = std::get<QString>(m_value).trimmed();
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        return ok ? n : static_cast<qint64>(std::llround(text.toDouble()));
    }
    default:
        return 0;
    }
}

double COleVariant::GetDouble() const {
    switch (GetKind()) {
    case Long:
        return static_cast<double>(std::get<qint64>(m_value));
    case Double:
        return std::get<double>(m_value);
    case Text:
        return std::get<QString>(m_value).trimmed().toDouble();
    default:
        return 0.0;
    }
}

QString COleVariant::GetText() const {
    switch (GetKind()) {
    case Long:
        return QString::number(std::get<qint64>(m_value));
    case Double:
        return QString::number(std::get<double>(m_value), 'g', 15);
    case Text:
        return std::get<QString>(m_value);
    case Date:
        return std::get<COleDateTime>(m_value).ToSqliteText();
    default:
        return {};
    }
}

COleDateTime COleVariant::GetDate() const {
    switch (GetKind()) {
    case Date:
        return std::get<COleDateTime>(m_value);
    case Text:
        return COleDateTime::FromText(std::get<QString>(m_value));
    default:
        return COleDateTime::Invalid();
    }
}
