#include "platform/dao/OleDateTime.h"

#include "platform/dao/DateText.h"
#include "platform/dao/OleVariant.h"

#include <QDateTime>
#include <cstring>
#include <tuple>

using lumarest::dao::DateFields;

namespace {

constexpr const char* kDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
constexpr const char* kMonthNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};

void AppendTwoDigits(QString& out, int value) {
    out.append(QChar(u'0' + value / 10 % 10));
    out.append(QChar(u'0' + value % 10));
}

void AppendDigits(QString& out, int value, int width) {
    char buffer[8];
    for (int i = width - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(QLatin1StringView(buffer, width));
}

void AppendName(QString& out, const char* name, bool abbreviated) {
    out.append(QLatin1StringView(name, abbreviated ? 3 : static_cast<qsizetype>(strlen(name))));
}

// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool Is2DigitDigit(const char* p) {
    return p[0] >= '0' && p[0] <= '9' && p[1] >= '0' && p[1] <= '9';
}
int Two(const char* p) {
    return (p[0] - '0') * 10 + (p[1] - '0');
}

} // namespace

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second) {
    SetDateTime(year, month, day, hour, minute, second);
}

COleDateTime::COleDateTime(const QDateTime& dateTime) {
    *this = FromQDateTime(dateTime);
}

COleDateTime::COleDateTime(const COleVariant& value) {
    *this = value.GetDate();
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    const DateFields f{year, month, day, hour, minute, second};
    if (!lumarest::dao::IsValidDate(f)) {
        m_status = invalid;
        return 1;
    }
    m_year = static_cast<int16_t>(year);
    m_month = static_cast<uint8_t>(month);
    m_day = static_cast<uint8_t>(day);
    m_hour = static_cast<uint8_t>(hour);
    m_minute = static_cast<uint8_t>(minute);
    m_second = static_cast<uint8_t>(second);
    m_status = valid;
    return 0;
}

int COleDateTime::GetDayOfWeek() const {
    const int64_t days = DaysFromCivil(m_year, m_month, m_day); // 1970-01-01 was a Thursday
    return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

int COleDateTime::GetDayOfYear() const {
    return static_cast<int>(DaysFromCivil(m_year, m_month, m_day) - DaysFromCivil(m_year, 1, 1)) +
           1;
}

QString COleDateTime::Format(const QString& strftimeFormat) const {
    return Format(strftimeFormat.toUtf8().constData());
}

QString COleDateTime::Format(const char* fmt) const {
    if (GetStatus() == null)
        return {};
    if (GetStatus() != valid)
        return QStringLiteral("Invalid DateTime");
    QString out;
    if (fmt == nullptr)
        return out;
    out.reserve(static_cast<qsizetype>(strlen(fmt)) * 3);
    for (const char* p = fmt; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out.append(QLatin1Char(*p));
            continue;
        }
        switch (*++p) {
        case 'd':
            AppendTwoDigits(out, m_day);
            break;
        case 'e':
            out.append(m_day < 10 ? QChar(u' ') : QChar(u'0' + m_day / 10));
            out.append(QChar(u'0' + m_day % 10));
            break;
        case 'm':
            AppendTwoDigits(out, m_month);
            break;
        case 'y':
            AppendTwoDigits(out, m_year % 100);
            break;
        case 'Y':
            AppendDigits(out, m_year, m_year >= 1000 ? 4 : 3);
            break;
        case 'H':
            AppendTwoDigits(out, m_hour);
            break;
        case 'I':
            AppendTwoDigits(out, m_hour % 12 == 0 ? 12 : m_hour % 12);
            break;
        case 'M':
            AppendTwoDigits(out, m_minute);
            break;
        case 'S':
            AppendTwoDigits(out, m_second);
            break;
        case 'p':
            out.append(m_hour < 12 ? u"AM" : u"PM");
            break;
        case 'j':
            AppendDigits(out, GetDayOfYear(), 3);
            break;
        case 'w':
            out.append(QChar(u'0' + GetDayOfWeek() - 1));
            break;
        case 'a':
            AppendName(out, kDayNames[GetDayOfWeek() - 1], true);
            break;
        case 'A':
            AppendName(out, kDayNames[GetDayOfWeek() - 1], false);
            break;
        case 'b':
            AppendName(out, kMonthNames[m_month - 1], true);
            break;
        case 'B':
            AppendName(out, kMonthNames[m_month - 1], false);
            break;
        case 'c':
            out.append(Format("%m/%d/%y %H:%M:%S"));
            break;
        case 'x':
            out.append(Format("%m/%d/%y"));
            break;
        case 'X':
            out.append(Format("%H:%M:%S"));
            break;
        case '%':
            out.append(QLatin1Char('%'));
            break;
        default: // unknown conversions are kept as written
            out.append(QLatin1Char('%'));
            out.append(QLatin1Char(*p));
        }
    }
    return out;
}

bool COleDateTime::ParseDateTime(QStringView text) {
    DateFields f;
    if (!lumarest::dao::ParseDateText(text, f)) {
        m_status = invalid;
        return false;
    }
    return SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second) == 0;
}

COleDateTime COleDateTime::FromText(QStringView text) {
    COleDateTime result;
    result.ParseDateTime(text);
    return result;
}

COleDateTime COleDateTime::FromSqliteText(const char* p, qsizetype length) {
    COleDateTime result;
    if (length == 19 && p[4] == '-' && p[7] == '-' && p[10] == ' ' && p[13] == ':' &&
        p[16] == ':' && Is2DigitDigit(p) && Is2DigitDigit(p + 2) && Is2DigitDigit(p + 5) &&
        Is2DigitDigit(p + 8) && Is2DigitDigit(p + 11) && Is2DigitDigit(p + 14) &&
        Is2DigitDigit(p + 17)) {
        result.SetDateTime(Two(p) * 100 + Two(p + 2), Two(p + 5), Two(p + 8), Two(p + 11),
                           Two(p + 14), Two(p + 17));
        return result;
    }
    DateFields f;
    if (lumarest::dao::ParseDateText(p, length, f))
        result.SetDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second);
    else
        result.m_status = invalid;
    return result;
}

QByteArray COleDateTime::ToSqliteUtf8() const {
    if (GetStatus() != valid)
        return {};
    char buffer[20];
    const auto put = [&buffer](int at, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            buffer[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, m_year, 4);
    buffer[4] = '-';
    put(5, m_month, 2);
    buffer[7] = '-';
    put(8, m_day, 2);
    buffer[10] = ' ';
    put(11, m_hour, 2);
    buffer[13] = ':';
    put(14, m_minute, 2);
    buffer[16] = ':';
    put(17, m_second, 2);
    return QByteArray(buffer, 19);
}

QString COleDateTime::ToSqliteText() const {
    return QString::fromLatin1(ToSqliteUtf8());
}

QDateTime COleDateTime::ToQDateTime() const {
    if (GetStatus() != valid)
        return {};
    return QDateTime(QDate(m_year, m_month, m_day), QTime(m_hour, m_minute, m_second));
}

COleDateTime COleDateTime::FromQDateTime(const QDateTime& dateTime) {
    COleDateTime result;
    if (!dateTime.isValid()) {
        result.m_status = invalid;
        return result;
    }
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    result.SetDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    return result;
}

COleDateTime COleDateTime::GetCurrentTime() {
    return FromQDateTime(QDateTime::currentDateTime());
}

COleDateTime COleDateTime::Null() {
    COleDateTime result;
    result.m_status = null;
    return result;
}

COleDateTime COleDateTime::Invalid() {
    COleDateTime result;
    result.m_status = invalid;
    return result;
}

bool COleDateTime::operator==(const COleDateTime& other) const {
    return (*this <=> other) == std::strong_ordering::equal;
}

std::strong_ordering COleDateTime::operator<=>(const COleDateTime& other) const {
    if (m_status != valid || other.m_status != valid)
        return m_status <=> other.m_status;
    return std::tie(m_year, m_month, m_day, m_hour, m_minute, m_second) <=>
           std::tie(other.m_year, other.m_month, other.m_day, other.m_hour, other.m_minute,
                    other.m_second);
}
