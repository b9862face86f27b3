#pragma once
// Selection and focus rules of a multiple-selection list, over CListRows, with
// one change notice per line whose state changed. Lines that lose state are
// reported first and the line that takes the focus last, so the last line
// reported is the new current one.
#include "platform/listctrl/ListRows.h"

#include <functional>

class CListSelection {
public:
    using Notify = std::function<void(int item)>;

    CListSelection(CListRows& rows, Notify notify);

    // The state bits under mask of one line, or of every line for item -1.
    // Focusing a line takes the focus from the old one first.
    bool SetState(int item, uint32_t state, uint32_t mask);
    // Click: item alone selected and focused; -1 deselects every line.
    void SelectOnly(int item);
    // Ctrl+click: item's selection flips and it takes the focus.
    void Toggle(int item);
    // Shift+click: the lines from anchor to item selected, item focused;
    // with keepOthers (Ctrl held too) lines outside stay selected.
    void SelectRange(int anchor, int item, bool keepOthers);
    // Ctrl+arrow: the focus moves, the selection stays.
    void MoveFocus(int item);

private:
    void Change(int item, uint32_t state, uint32_t mask);
    void DeselectOutside(int lo, int hi);
    void TakeFocusFrom(int item);

    CListRows& m_rows;
    Notify m_notify;
};
