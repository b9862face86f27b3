#pragma once
// Reads the cells of play-list lines from the fill's recordset, record by
// record, with the texts TextCell, SizeCell, CreatedCell and KeyCell give, but
// without a variant or a QString for the common values: plain ASCII texts,
// whole numbers and dates in the engine's own text form.
#include "platform/dao/DaoRecordset.h"
#include "platform/listctrl/CellTexts.h"
#include "playlist/PlayListCells.h"

#include <QString>
#include <array>
#include <span>

namespace playlist {

class LineReader {
public:
    // Looks the fields up by name once; a missing one throws when read.
    explicit LineReader(const CDaoRecordset& rs);

    // The six cells of the recordset's current record, valid until the next
    // Read or until the recordset moves.
    std::span<const CCellView> Read(const CDaoRecordset& rs);

private:
    using RawField = CDaoRecordset::RawField;
    using RawType = CDaoRecordset::RawType;
    CCellView Text(const CDaoRecordset& rs, Column column, const RawField& f);
    CCellView Size(const CDaoRecordset& rs, const RawField& f);
    CCellView Created(const CDaoRecordset& rs, const RawField& f);
    CCellView Key(const CDaoRecordset& rs, const RawField& f);
    CCellView Kept(Column column, QString text);

    std::array<int, ColumnCount> m_fields{}; // by column
    std::array<RawField, ColumnCount> m_raw{};
    std::array<CCellView, ColumnCount> m_cells{};
    std::array<QString, ColumnCount> m_kept; // texts made the slow way
    std::array<std::array<char, kCellChars>, ColumnCount> m_chars{};
};

} // namespace playlist
