#include "platform/dao/DateText.h"

namespace lumarest::dao {
namespace {

inline int CodeOf(QChar c) {
    return c.unicode();
}
inline int CodeOf(char c) {
    return static_cast<unsigned char>(c);
}

template <typename Ch> class Scanner {
public:
    Scanner(const Ch* begin, const Ch* end) : m_p(begin), m_end(end) {}

    int Peek() const { return m_p < m_end ? CodeOf(*m_p) : -1; }
    bool AtEnd() const { return m_p == m_end; }
    void Skip() { ++m_p; }

    void SkipBlanks() {
        while (Peek() == ' ' || Peek() == '\t')
            ++m_p;
    }

    bool Take(int c) {
        if (Peek() != c)
            return false;
        ++m_p;
        return true;
    }

    // Reads minDigits..maxDigits decimal digits; the count read goes to *count.
    bool Number(int minDigits, int maxDigits, int& value, int* count = nullptr) {
        int n = 0;
        value = 0;
        while (n < maxDigits && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (Peek() - '0');
            ++m_p;
            ++n;
        }
        if (count)
            *count = n;
        return n >= minDigits;
    }

    // Case-insensitive "AM" or "PM": 0 for none, 1 for AM, 2 for PM.
    int Meridiem() {
        if (m_end - m_p < 2)
            return 0;
        const int a = CodeOf(m_p[0]) | 0x20;
        const int m = CodeOf(m_p[1]) | 0x20;
        if (m != 'm' || (a != 'a' && a != 'p'))
            return 0;
        m_p += 2;
        return a == 'a' ? 1 : 2;
    }

private:
    const Ch* m_p;
    const Ch* m_end;
};

template <typename Ch> bool ParseDatePart(Scanner<Ch>& s, DateFields& f, bool& iso) {
    int first = 0;
    int digits = 0;
    if (!s.Number(1, 4, first, &digits))
        return false;
    if (digits == 4 && s.Take('-')) {
        iso = true;
        f.year = first;
        return s.Number(1, 2, f.month) && s.Take('-') && s.Number(1, 2, f.day);
    }
    if (digits > 2 || !s.Take('/'))
        return false;
    iso = false;
    f.month = first;
    if (!s.Number(1, 2, f.day) || !s.Take('/') || !s.Number(2, 4, f.year, &digits))
        return false;
    if (digits == 3)
        return false;
    if (digits == 2)
        f.year += f.year < 30 ? 2000 : 1900;
    return true;
}

template <typename Ch> bool ParseTimePart(Scanner<Ch>& s, DateFields& f) {
    if (!s.Number(1, 2, f.hour) || !s.Take(':') || !s.Number(2, 2, f.minute))
        return false;
    if (s.Take(':')) {
        if (!s.Number(2, 2, f.second))
            return false;
        if (s.Take('.')) {
            int ignored = 0;
            while (s.Number(1, 9, ignored)) {
            }
        }
    }
    s.SkipBlanks();
    const int meridiem = s.Meridiem();
    if (meridiem != 0) {
        if (f.hour < 1 || f.hour > 12)
            return false;
        f.hour = (f.hour % 12) + (meridiem == 2 ? 12 : 0);
    }
    return true;
}

template <typename Ch> bool Parse(const Ch* begin, const Ch* end, DateFields& out) {
    Scanner<Ch> s(begin, end);
    DateFields f;
    bool iso = false;
    s.SkipBlanks();
    if (!ParseDatePart(s, f, iso))
        return false;
    const bool separated = (iso && s.Take('T')) || s.Peek() == ' ' || s.Peek() == '\t';
    s.SkipBlanks();
    if (!s.AtEnd()) {
        if (!separated || !ParseTimePart(s, f))
            return false;
        s.SkipBlanks();
    }
    if (!s.AtEnd() || !IsValidDate(f))
        return false;
    out = f;
    return true;
}

} // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool IsValidDate(const DateFields& f) {
    return f.year >= 100 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= DaysInMonth(f.year, f.month) && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 &&
           f.minute <= 59 && f.second >= 0 && f.second <= 59;
}

bool ParseDateText(QStringView text, DateFields& out) {
    return Parse(text.data(), text.data() + text.size(), out);
}

bool ParseDateText(const char* text, qsizetype length, DateFields& out) {
    return text != nullptr && Parse(text, text + length, out);
}

} // namespace lumarest::dao
