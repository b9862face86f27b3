#pragma once
// What the play list's sort reads in a column: the one column of numbers, and the
// number a text of it stands for. Plain code, no widget.
#include <QStringView>

namespace playlist {

// The title of the one column that compares as numbers.
inline constexpr QStringView kSizeColumnTitle = u"Size Mb";

// The number at the start of the text, as atof reads it (leading blanks, sign,
// digits, decimal point, exponent; always '.' whatever the locale); 0 when the
// text starts with no number.
double AtoF(QStringView text);

} // namespace playlist
