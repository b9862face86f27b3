#include "app/SlideDelayText.h"

#include <charconv>
#include <cmath>
#include <limits>

QString FormatSlideDelay(int milliseconds) {
    return QString::asprintf("%.2f", milliseconds * 0.001);
}

int ParseSlideDelay(const QString& text) {
    // The decimal point is always '.', whatever the user's locale says.
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    if (p < end && *p == '+' && p + 1 < end && p[1] != '-')
        ++p;
    double seconds = 0.0;
    if (std::from_chars(p, end, seconds, std::chars_format::general).ec != std::errc())
        return 0;
    const double ms = std::trunc(seconds * 1000.0);
    if (std::isnan(ms))
        return 0;
    if (ms >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (ms <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(ms);
}
