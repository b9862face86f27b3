#pragma once
// Which play-list lines the filter box keeps: those whose name or folder contains
// the typed text, ignoring case. A folder repeated down the list is looked at once.
#include "platform/listctrl/ListRows.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>

namespace playlist {

class LineFilter {
public:
    explicit LineFilter(QStringView typed);

    // True for every text when nothing is typed.
    bool Contains(const CCellView& text) const;
    bool Keeps(const CListRows::LineView& line);

private:
    bool ContainsLatin1(const uint8_t* text, uint32_t length) const;

    QString m_folded; // the typed text, case-folded
    // Latin-1 characters case-folded (U+00B5 folds beyond Latin-1, to U+03BC).
    std::array<char16_t, 256> m_fold{};
    QHash<uint32_t, bool> m_folders; // by the folder text's key
};

} // namespace playlist
