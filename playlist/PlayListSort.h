#pragma once
// The play list's sort: the comparison of two lines by the texts of one column,
// and the direction flag that flips after every sort. Plain code, no widget.
#include "platform/listctrl/CellTexts.h"
#include "platform/listctrl/ListCtrlTypes.h"

#include <QStringView>
#include <cstdint>
#include <vector>

namespace playlist {

// The title of the one column that compares as numbers.
inline constexpr QStringView kSizeColumnTitle = u"Size Mb";

// The number at the start of the text, as atof reads it (leading blanks, sign,
// digits, decimal point, exponent; always '.' whatever the locale); 0 when the
// text starts with no number.
double AtoF(QStringView text);

// strcmp of the two texts' UTF-8 forms, that is by code point: upper case
// before lower case, without converting either text.
int CompareCodePoints(QStringView a, QStringView b);

// The comparison r of line texts A and B of one column: for "Size Mb" the sign
// of atof(A) - atof(B); for any other column the code-point comparison of B
// with A. Negative, 0 or positive.
int CompareCells(QStringView a, QStringView b, bool sizeColumn);

// The result the sort uses: r while the flag is set, -r while it is clear.
inline int ApplySortFlag(int r, bool sortFlag) {
    return sortFlag ? r : -r;
}

// One sort's comparison of lines by their item data, which names the line
// whose text is compared. The texts (and numbers) are read once, up front.
class LineComparison {
public:
    // texts[i]: the text of line i in the sort column; they must stay valid
    // for the comparison's lifetime.
    LineComparison(const std::vector<QStringView>& texts, bool sizeColumn, bool sortFlag);
    // The same over texts as the list control stores them.
    LineComparison(std::vector<CCellView> texts, bool sizeColumn, bool sortFlag);

    int operator()(LPARAM a, LPARAM b) const;
    int LineCount() const { return static_cast<int>(m_texts.size()); }

private:
    CCellView Text(LPARAM line) const;
    double Number(LPARAM line) const;

    std::vector<CCellView> m_texts;
    // The first eight characters of each text as bytes in code-point order, the
    // first one at or above U+00FF and all after it as 0xFF: where two differ
    // they order the texts, so most comparisons read no text.
    std::vector<uint64_t> m_prefixes;
    std::vector<double> m_numbers; // "Size Mb" only
    bool m_bSizeColumn;
    bool m_bSortFlag;
};

} // namespace playlist
