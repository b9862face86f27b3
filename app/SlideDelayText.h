#pragma once
// The slide delay as the Parameters dialog shows and reads it: seconds with
// two decimals, and text read as the longest leading decimal number.
#include <QString>

QString FormatSlideDelay(int milliseconds);
// "1.2345" gives 1234, "2,5" gives 2000, "abc" gives 0, "-1" gives -1000.
// Values beyond the 32-bit range are held at its ends.
int ParseSlideDelay(const QString& text);
