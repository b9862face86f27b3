#include "platform/listctrl/ListSelection.h"

#include <utility>

CListSelection::CListSelection(CListRows& rows, Notify notify)
    : m_rows(rows), m_notify(std::move(notify)) {}

void CListSelection::Change(int item, uint32_t state, uint32_t mask) {
    if (m_rows.SetState(item, state, mask) && m_notify)
        m_notify(item);
}

// Removes the focus from the focused line unless that line is `item`.
void CListSelection::TakeFocusFrom(int item) {
    const int focused = m_rows.Focused();
    if (focused >= 0 && focused != item)
        Change(focused, 0, LVIS_FOCUSED);
}

// Deselects every selected line outside [lo, hi], top to bottom; a line that
// loses its selection loses the focus in the same notice.
void CListSelection::DeselectOutside(int lo, int hi) {
    int i = m_rows.NextSelected(-1);
    while (i >= 0) {
        if (i >= lo && i <= hi) {
            i = m_rows.NextSelected(hi);
            continue;
        }
        Change(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
        i = m_rows.NextSelected(i);
    }
}

bool CListSelection::SetState(int item, uint32_t state, uint32_t mask) {
    mask &= LVIS_SELECTED | LVIS_FOCUSED;
    if (item == -1) {
        if ((mask & LVIS_SELECTED) && !(state & LVIS_SELECTED))
            DeselectOutside(0, -1);
        else if (mask & LVIS_SELECTED)
            for (int i = 0; i < m_rows.Count(); ++i)
                Change(i, LVIS_SELECTED, LVIS_SELECTED);
        // Only one line can hold the focus: "all" can only lose it.
        if ((mask & LVIS_FOCUSED) && !(state & LVIS_FOCUSED))
            TakeFocusFrom(-1);
        return true;
    }
    if (item < 0 || item >= m_rows.Count())
        return false;
    if (mask & state & LVIS_FOCUSED)
        TakeFocusFrom(item);
    Change(item, state, mask);
    return true;
}

void CListSelection::SelectOnly(int item) {
    if (item < 0 || item >= m_rows.Count()) {
        DeselectOutside(0, -1);
        return;
    }
    DeselectOutside(item, item);
    TakeFocusFrom(item);
    Change(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CListSelection::Toggle(int item) {
    if (item < 0 || item >= m_rows.Count())
        return;
    TakeFocusFrom(item);
    const uint32_t selected = m_rows.State(item) & LVIS_SELECTED;
    Change(item, (selected ^ LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CListSelection::SelectRange(int anchor, int item, bool keepOthers) {
    if (item < 0 || item >= m_rows.Count())
        return;
    if (anchor < 0 || anchor >= m_rows.Count())
        anchor = item;
    const int lo = std::min(anchor, item);
    const int hi = std::max(anchor, item);
    if (!keepOthers)
        DeselectOutside(lo, hi);
    TakeFocusFrom(item);
    for (int i = lo; i <= hi && i < m_rows.Count(); ++i)
        if (i != item)
            Change(i, LVIS_SELECTED, LVIS_SELECTED);
    Change(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void CListSelection::MoveFocus(int item) {
    if (item < 0 || item >= m_rows.Count())
        return;
    TakeFocusFrom(item);
    Change(item, LVIS_FOCUSED, LVIS_FOCUSED);
}
