#pragma once
// The lines of a report-style list: cell texts, item data and selection/focus
// state, addressed by line index. No widget here; the list control draws and
// notifies from it.
//
// A line costs its item data (8 bytes), its state (1 byte), a 4-byte reference
// per cell and the characters of its texts, one byte each for Latin-1 texts,
// texts repeated down a column shared (see CCellTexts).
//
// Erasing a line only marks it; the marked lines are dropped in one pass once
// there are many, so that deleting the selected lines one by one from the top
// of a long list stays linear. Line indexes never see the marked lines.
//
// A filter hides lines the same way, but keeps them: hidden lines hold their
// place, texts and data, and come back when shown again. Every line index, count
// and selection is of the lines shown.
#include "platform/listctrl/CellTexts.h"
#include "platform/listctrl/ListCtrlTypes.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

class CListRows {
public:
    int Count() const { return m_alive; }
    // Cells per line: item text plus sub-items.
    int CellsPerRow() const { return m_stride; }
    // Makes room for this many lines in all, so that a long fill grows nothing.
    void Reserve(int lines);

    // Inserts a line at index (appends when index is past the end); returns
    // its index, or -1 for a negative index or while sorting.
    int Insert(int index, QStringView text, LPARAM data);
    // Appends a line with the texts of its first cells (the others empty), in
    // one step; returns its index, or -1 while sorting.
    int Append(std::span<const CCellView> cells, LPARAM data);
    bool Erase(int index);
    bool Clear();
    // Erases every line shown and keeps the hidden ones, in their order; the
    // same as Clear when none is hidden. Refused while sorting.
    bool EraseShown();
    // Widens every line by one empty cell at position cell.
    bool InsertCell(int cell);

    bool SetText(int row, int cell, QStringView text);
    // Valid until the next change of these lines and for the next seven calls
    // of Text (a Latin-1 text is widened into one of eight buffers); empty when
    // out of range.
    QStringView Text(int row, int cell) const;
    // The stored text itself, valid until the next change of these lines.
    CCellView Cell(int row, int cell) const;
    // Returns true when the data changed.
    bool SetData(int row, LPARAM data);
    LPARAM Data(int row) const;

    // LVIS_SELECTED and LVIS_FOCUSED bits of a line (0 when out of range).
    uint32_t State(int row) const;
    // Sets the bits of state under mask; returns true when the line changed.
    // Focusing a line takes the focus from any other without notice: callers
    // that report changes move the focus off the old line first.
    bool SetState(int row, uint32_t state, uint32_t mask);
    int SelectedCount() const { return m_selected; }
    // First selected line after the given one (-1 to start), or -1.
    int NextSelected(int after) const;
    int Focused() const;

    bool IsSorting() const { return m_sorting; }
    // Orders the lines by their item data with a strict weak ordering `less`,
    // stably. Every change of the lines is refused while it runs, so `less`
    // may read texts and data but sees them unchanged. Refused while lines are hidden.
    template <class Less> bool SortByData(Less less);

    // Puts the lines in the given order: order[i] is the index of the line
    // that goes to index i. Refused unless order holds every index once, and while
    // lines are hidden.
    bool Arrange(const std::vector<uint32_t>& order);

    // Takes the lines of another list as they are, item data included, with
    // no line selected or focused. The cells and texts are shared until either
    // list changes them. Refused while sorting or when either has erased or hidden lines.
    bool ShareLinesOf(const CListRows& other);
    // Changes whenever a line is added, removed, moved or its text or item data
    // changes (not its state): equal versions mean the same lines.
    uint64_t Version() const { return m_version; }

    // Drops erased lines now, and repacks texts when much of them is garbage.
    void Compact();

    // One line as a filter sees it, shown or hidden.
    class LineView {
    public:
        CCellView Cell(int cell) const { return m_rows.m_texts.View(m_rows.Cells(m_phys)[cell]); }
        // Equal keys in one column mean equal texts (a text repeated down a column is
        // stored once), so a filter may reuse what it found for the same key.
        uint32_t CellKey(int cell) const { return m_rows.Cells(m_phys)[cell]; }

    private:
        friend class CListRows;
        LineView(const CListRows& rows, size_t phys) : m_rows(rows), m_phys(phys) {}
        const CListRows& m_rows;
        size_t m_phys;
    };
    // Shows the lines for which keep answers true and hides the others, asking about
    // every line kept, shown or not. Hidden lines lose their selection and focus.
    // Refused while sorting.
    template <class Keep> bool Filter(Keep keep);
    bool ShowAll() {
        return Filter([](const LineView&) { return true; });
    }
    int HiddenCount() const { return m_hidden; }

private:
    static constexpr uint8_t kErased = 0x80;
    static constexpr uint8_t kHidden = 0x40;
    static constexpr size_t kNone = size_t(-1);

    size_t Phys(int row) const;
    int Logical(size_t phys) const;
    // The cells of a line lie in m_cells at its physical position times the
    // stride, so that reading a text touches the cells and the text only.
    // The writing form first makes the cells this list's own (see ShareLinesOf).
    CCellTexts::Ref* Cells(size_t phys) { return &OwnCells()[phys * size_t(m_stride)]; }
    const CCellTexts::Ref* Cells(size_t phys) const { return &(*m_cells)[phys * size_t(m_stride)]; }
    std::vector<CCellTexts::Ref>& OwnCells();
    void DropErased();
    // After a filter has marked the hidden lines: the skipped positions, counts,
    // selection and focus made to match.
    void RecountAfterFilter();
    void RepackTexts();
    // order[i]: the physical position of the line that goes to i (none erased).
    void Reorder(const std::vector<uint32_t>& order);

    // Physical order, erased lines included; the three run in parallel.
    std::vector<LPARAM> m_data;
    std::vector<uint8_t> m_state;
    // Shared with another list while both hold the same lines unchanged.
    std::shared_ptr<std::vector<CCellTexts::Ref>> m_cells =
        std::make_shared<std::vector<CCellTexts::Ref>>();
    // Physical positions of the lines indexes skip, erased or hidden, ascending.
    std::vector<size_t> m_skipped;
    size_t m_erasedCount = 0;
    int m_hidden = 0;
    CCellTexts m_texts;
    mutable std::array<QString, 8> m_widened; // Latin-1 texts handed out by Text
    mutable unsigned m_nextWidened = 0;
    int m_stride = 1;
    int m_alive = 0;
    int m_selected = 0;
    size_t m_focus = kNone;            // physical position of the focused line
    mutable size_t m_selectedFrom = 0; // no selected line lies before it
    bool m_sorting = false;
    uint64_t m_version = 0;
};

template <class Less> bool CListRows::SortByData(Less less) {
    if (m_sorting || m_hidden > 0)
        return false;
    Compact();
    // Item data travels with its position, so comparing reads no other array.
    std::vector<std::pair<LPARAM, uint32_t>> order(m_data.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = {m_data[i], uint32_t(i)};
    m_sorting = true;
    try {
        std::stable_sort(order.begin(), order.end(),
                         [&](const auto& a, const auto& b) { return less(a.first, b.first); });
    } catch (...) {
        m_sorting = false;
        throw;
    }
    m_sorting = false;
    ++m_version;
    std::vector<uint32_t> positions(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        positions[i] = order[i].second;
    Reorder(positions);
    return true;
}

template <class Keep> bool CListRows::Filter(Keep keep) {
    if (m_sorting)
        return false;
    DropErased();
    for (size_t p = 0; p < m_state.size(); ++p) {
        if (keep(LineView(*this, p)))
            m_state[p] &= uint8_t(~kHidden);
        else
            m_state[p] = kHidden; // neither selected nor focused
    }
    RecountAfterFilter();
    return true;
}
