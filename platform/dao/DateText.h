#pragma once
// Parsing of date texts for COleDateTime and for text written to date fields.
#include <QStringView>

namespace lumarest::dao {

struct DateFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

int DaysInMonth(int year, int month);
// Years 100 to 9999, a real day of the month, a time of day to the second.
bool IsValidDate(const DateFields& fields);

// "YYYY-MM-DD[( |T)HH:MM[:SS[.fff]]]" or "M/D/YY[YY][ H:MM[:SS]][ AM|PM]"; blanks
// around are ignored. A two-digit year 00-29 is 20xx, 30-99 is 19xx. The fields
// are checked with IsValidDate.
bool ParseDateText(QStringView text, DateFields& out);
bool ParseDateText(const char* text, qsizetype length, DateFields& out);

} // namespace lumarest::dao
