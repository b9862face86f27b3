#include "playlist/PlayListSort.h"

#include <array>
#include <charconv>
#include <cmath>

namespace playlist {
namespace {
bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

} // namespace

double AtoF(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i].unicode()))
        ++i;
    // Only the characters a number can have are copied; the first other one ends it.
    std::array<char, 64> buffer{};
    size_t n = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    for (; i < text.size() && n < buffer.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool numeric =
            (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E' ||
            ((c == u'+' || c == u'-') && n > 0 && (buffer[n - 1] == 'e' || buffer[n - 1] == 'E'));
        if (!numeric)
            break;
        buffer[n++] = static_cast<char>(c);
    }
    double value = 0.0;
    std::from_chars(buffer.data(), buffer.data() + n, value, std::chars_format::general);
    if (std::isnan(value))
        value = 0.0;
    return negative ? -value : value;
}

} // namespace playlist
