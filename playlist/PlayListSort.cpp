#include "playlist/PlayListSort.h"

#include <array>
#include <charconv>
#include <cmath>

namespace playlist {
namespace {
bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Surrogates stand for code points above U+FFFF: moved above U+E000..U+FFFF,
// so that UTF-16 units compare in code-point (UTF-8 byte) order.
char16_t CodePointRank(char16_t c) {
    return c >= 0xE000 ? char16_t(c - 0x800) : char16_t(c + 0x2000);
}

template <class T> int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
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

int CompareCodePoints(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        char16_t ca = pa[i];
        char16_t cb = pb[i];
        if (ca == cb)
            continue;
        if (ca >= 0xD800 && cb >= 0xD800) {
            ca = CodePointRank(ca);
            cb = CodePointRank(cb);
        }
        return ca < cb ? -1 : 1;
    }
    return Sign(a.size(), b.size());
}

int CompareCells(QStringView a, QStringView b, bool sizeColumn) {
    if (sizeColumn)
        return Sign(AtoF(a), AtoF(b));
    return CompareCodePoints(b, a);
}

namespace {
uint64_t PrefixOf(const CCellView& text) {
    uint64_t prefix = 0;
    bool capped = false;
    for (uint32_t i = 0; i < 8; ++i) {
        unsigned c = 0;
        if (capped)
            c = 0xFF;
        else if (i < text.length)
            c = text.wide ? text.Utf16()[i] : text.Latin1()[i];
        if (c >= 0xFF) {
            c = 0xFF;
            capped = true;
        }
        prefix = (prefix << 8) | c;
    }
    return prefix;
}

std::vector<CCellView> CellViews(const std::vector<QStringView>& texts) {
    std::vector<CCellView> cells;
    cells.reserve(texts.size());
    for (QStringView text : texts)
        cells.push_back(CCellView::Of(text));
    return cells;
}
} // namespace

LineComparison::LineComparison(const std::vector<QStringView>& texts, bool sizeColumn,
                               bool sortFlag)
    : LineComparison(CellViews(texts), sizeColumn, sortFlag) {}

LineComparison::LineComparison(std::vector<CCellView> texts, bool sizeColumn, bool sortFlag)
    : m_texts(std::move(texts)), m_bSizeColumn(sizeColumn), m_bSortFlag(sortFlag) {
    if (!m_bSizeColumn) {
        m_prefixes.reserve(m_texts.size());
        for (const CCellView& text : m_texts)
            m_prefixes.push_back(PrefixOf(text));
        return;
    }
    m_numbers.reserve(m_texts.size());
    QString text;
    for (const CCellView& cell : m_texts) {
        cell.AssignTo(text);
        m_numbers.push_back(AtoF(text));
    }
}

CCellView LineComparison::Text(LPARAM line) const {
    return line >= 0 && static_cast<size_t>(line) < m_texts.size() ? m_texts[size_t(line)]
                                                                   : CCellView();
}

double LineComparison::Number(LPARAM line) const {
    return line >= 0 && static_cast<size_t>(line) < m_numbers.size() ? m_numbers[size_t(line)]
                                                                     : 0.0;
}

int LineComparison::operator()(LPARAM a, LPARAM b) const {
    const int r = m_bSizeColumn ? Sign(Number(a), Number(b)) : CompareCellViews(Text(b), Text(a));
    return ApplySortFlag(r, m_bSortFlag);
}

} // namespace playlist
