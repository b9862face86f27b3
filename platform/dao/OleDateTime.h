#pragma once
// A plain calendar date and time to the second, with a status, as the catalogue
// stores it. Cheap to copy, parse and format: the play list reads one per line.
#include <QByteArray>
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>

class QDateTime;
class COleVariant;

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    // Like the platform's type: a default date is valid, 30 December 1899, midnight.
    COleDateTime() = default;
    COleDateTime(int year, int month, int day, int hour, int minute, int second);
    explicit COleDateTime(const QDateTime& dateTime);
    // The platform's variant-to-date conversion: a date stays, text is parsed,
    // anything else (Null, Empty, numbers) gives an invalid date.
    COleDateTime(const COleVariant& value); // NOLINT: implicit, as on the platform

    DateTimeStatus GetStatus() const { return static_cast<DateTimeStatus>(m_status); }
    void SetStatus(DateTimeStatus status) { m_status = static_cast<uint8_t>(status); }

    // Returns 0 when the fields form a valid date (years 100 to 9999), else 1 and
    // the status becomes invalid.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }

    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetDay() const { return m_day; }
    int GetHour() const { return m_hour; }
    int GetMinute() const { return m_minute; }
    int GetSecond() const { return m_second; }
    int GetDayOfWeek() const; // 1 = Sunday .. 7 = Saturday
    int GetDayOfYear() const; // 1 = 1 January

    // strftime-style formatting: %d %e %m %y %Y %H %I %M %S %p %j %a %A %b %B %w
    // %c (%m/%d/%y %H:%M:%S) %x %X %%. "Invalid DateTime" for an invalid date, the
    // empty text for a null one.
    QString Format(const char* strftimeFormat) const;
    QString Format(const QString& strftimeFormat) const;

    // Accepts "YYYY-MM-DD[ HH:MM[:SS]]" (also with 'T'), "M/D/YY[YY][ H:MM[:SS]][ AM|PM]";
    // a two-digit year 00-29 is 20xx, 30-99 is 19xx. Returns false and sets the
    // status invalid for any other text.
    bool ParseDateTime(QStringView text);
    static COleDateTime FromText(QStringView text);
    // SQLite's own date text "YYYY-MM-DD HH:MM:SS" (UTF-8), with a quick path for
    // exactly that form; other texts go through the lenient parser.
    static COleDateTime FromSqliteText(const char* text, qsizetype length);

    // "YYYY-MM-DD HH:MM:SS"; empty unless the date is valid.
    QString ToSqliteText() const;
    QByteArray ToSqliteUtf8() const;

    QDateTime ToQDateTime() const; // local time; an invalid QDateTime unless valid
    static COleDateTime FromQDateTime(const QDateTime& dateTime);
    static COleDateTime GetCurrentTime();
    static COleDateTime Null();
    static COleDateTime Invalid();

    bool operator==(const COleDateTime& other) const;
    std::strong_ordering operator<=>(const COleDateTime& other) const;

private:
    int16_t m_year = 1899;
    uint8_t m_month = 12;
    uint8_t m_day = 30;
    uint8_t m_hour = 0;
    uint8_t m_minute = 0;
    uint8_t m_second = 0;
    uint8_t m_status = valid;
};
