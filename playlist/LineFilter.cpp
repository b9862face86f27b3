#include "playlist/LineFilter.h"

#include "playlist/PlayListCells.h"

namespace playlist {

LineFilter::LineFilter(QStringView typed) : m_folded(typed.toString().toCaseFolded()) {
    for (unsigned c = 0; c < m_fold.size(); ++c)
        m_fold[c] = QChar(char16_t(c)).toCaseFolded().unicode();
}

bool LineFilter::Contains(const CCellView& text) const {
    if (m_folded.isEmpty())
        return true;
    if (text.wide)
        return QStringView(text.Utf16(), qsizetype(text.length))
            .contains(m_folded, Qt::CaseInsensitive);
    return ContainsLatin1(text.Latin1(), text.length);
}

bool LineFilter::ContainsLatin1(const uint8_t* text, uint32_t length) const {
    const auto needle = reinterpret_cast<const char16_t*>(m_folded.utf16());
    const size_t n = size_t(m_folded.size());
    if (n > length)
        return false;
    const char16_t first = needle[0];
    for (size_t at = 0; at + n <= length; ++at) {
        if (m_fold[text[at]] != first)
            continue;
        size_t k = 1;
        while (k < n && m_fold[text[at + k]] == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

bool LineFilter::Keeps(const CListRows::LineView& line) {
    if (m_folded.isEmpty() || Contains(line.Cell(ColName)))
        return true;
    const uint32_t key = line.CellKey(ColDirectory);
    const auto known = m_folders.constFind(key);
    if (known != m_folders.constEnd())
        return *known;
    const bool found = Contains(line.Cell(ColDirectory));
    m_folders.insert(key, found);
    return found;
}

} // namespace playlist
