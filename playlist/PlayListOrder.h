#pragma once
// The order a sort of the play list gives, found without calling a comparison
// for every pair of lines: each text is cut into 8-byte keys (seven characters
// and how many more follow) that sort as the texts do in code-point order, and
// the keys are radix-sorted, deeper keys only among lines still tied. Sizes
// sort by their number as one key. Plain code, no widget.
#include "platform/listctrl/CellTexts.h"

#include <cstdint>
#include <vector>

namespace playlist {

// The lines 0..n-1 (indexes into texts) in the order of a stable sort that compares
// line A with line B as the play list does: for the "Size Mb" column the sign of
// AtoF(A) - AtoF(B), for any other the code-point comparison of B with A; the result
// as it is while sortFlag is set, turned round while it is clear.
std::vector<uint32_t> SortedLines(const std::vector<CCellView>& texts, bool sizeColumn,
                                  bool sortFlag);

} // namespace playlist
