// Mouse and keyboard handling of CListCtrl: selection by click and keys, the
// hot line, type-ahead search, and the notifications that go with them.
#include "platform/input/VirtualKeys.h"
#include "platform/listctrl/ListCtrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

namespace {
constexpr unsigned kExtendedKeyFlag = 0x100;
constexpr unsigned kPreviousStateFlag = 0x4000;
constexpr int kNotNavigation = -2;

unsigned KeyFlags(const QKeyEvent& e) {
    unsigned flags = e.isAutoRepeat() ? kPreviousStateFlag : 0;
    switch (e.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Enter: // the keypad's
        flags |= kExtendedKeyFlag;
        break;
    default:
        break;
    }
    return flags;
}
} // namespace

int CListCtrl::HitTestViewport(QPoint viewportPos) {
    SyncView();
    const QModelIndex index = indexAt(viewportPos);
    if (!index.isValid() || index.row() >= m_rows.Count())
        return -1;
    // Without full-row selection only the first column holds the line.
    if (!(m_extendedStyle & LVS_EX_FULLROWSELECT) && index.column() != 0)
        return -1;
    return index.row();
}

int CListCtrl::HitTest(QPoint clientPos) {
    return HitTestViewport(viewport()->mapFrom(this, clientPos));
}

void CListCtrl::ClickSelect(int item, Qt::KeyboardModifiers modifiers) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (item < 0) {
        if (!ctrl)
            m_selection.SelectOnly(-1);
        return;
    }
    if (shift) {
        if (m_selectionMark < 0)
            m_selectionMark = item;
        m_selection.SelectRange(m_selectionMark, item, ctrl);
    } else if (ctrl) {
        m_selection.Toggle(item);
        m_selectionMark = item;
    } else {
        m_selection.SelectOnly(item);
        m_selectionMark = item;
    }
}

// A right click keeps a selection that holds the line, else selects the line alone.
void CListCtrl::RightClickSelect(int item, Qt::KeyboardModifiers modifiers) {
    if (item < 0) {
        if (!(modifiers & Qt::ControlModifier))
            m_selection.SelectOnly(-1);
        return;
    }
    if (m_rows.State(item) & LVIS_SELECTED) {
        m_selection.MoveFocus(item);
    } else {
        m_selection.SelectOnly(item);
        m_selectionMark = item;
    }
}

void CListCtrl::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const int item = HitTestViewport(pos);
    e->accept();
    if (e->button() == Qt::LeftButton) {
        ClickSelect(item, e->modifiers());
    } else if (e->button() == Qt::RightButton) {
        QPointer<CListCtrl> alive(this);
        RightClickSelect(item, e->modifiers());
        if (alive && m_pListener)
            m_pListener->OnRButtonDown(viewport()->mapTo(this, pos));
    }
}

void CListCtrl::mouseReleaseEvent(QMouseEvent* e) {
    e->accept();
}

void CListCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        mousePressEvent(e);
        return;
    }
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    const int item = HitTestViewport(e->position().toPoint());
    // The first click already did any Ctrl or Shift selection.
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
        ClickSelect(item, e->modifiers());
    if (m_pListener)
        m_pListener->OnDblClk(item);
}

void CListCtrl::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    TrackHot(e->position().toPoint());
}

void CListCtrl::TrackHot(QPoint viewportPos) {
    if (!IsHotTrackingStyle(m_extendedStyle))
        return;
    const int item = HitTestViewport(viewportPos);
    if (item == m_hotItem)
        return;
    m_hotItem = item;
    if (item >= 0)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
    Repaint();
}

void CListCtrl::keyPressEvent(QKeyEvent* e) {
    m_keyModifiers = e->modifiers();
    const unsigned vk = QtKeyToVirtualKey(*e);
    if (m_pListener && vk != 0) {
        QPointer<CListCtrl> alive(this);
        m_pListener->OnKeyDown(vk, unsigned(std::max(1, e->count())), KeyFlags(*e));
        if (!alive)
            return;
    }
    SyncView();
    if (NavigationKey(*e) || TypeAhead(*e)) {
        e->accept();
        return;
    }
    // Keys the control does not use go on to the parents (Tab, Escape, ...).
    if (vk == 0 || vk == vk::VK_ESCAPE || vk == vk::VK_TAB)
        e->ignore();
    else
        e->accept();
}

int CListCtrl::RowsPerPage() {
    SyncView();
    if (m_rows.Count() == 0)
        return 1;
    const int height = rowHeight(m_pModel->index(0, 0));
    return height > 0 ? std::max(1, viewport()->height() / height) : 1;
}

int CListCtrl::NavigationTarget(int key, int from) {
    const int last = m_rows.Count() - 1;
    const int step = std::max(1, RowsPerPage() - 1);
    switch (key) {
    case Qt::Key_Up:
        return from < 0 ? 0 : std::max(0, from - 1);
    case Qt::Key_Down:
        return from < 0 ? 0 : std::min(last, from + 1);
    case Qt::Key_Home:
        return 0;
    case Qt::Key_End:
        return last;
    case Qt::Key_PageUp:
        return from < 0 ? 0 : std::max(0, from - step);
    case Qt::Key_PageDown:
        return from < 0 ? 0 : std::min(last, from + step);
    default:
        return kNotNavigation;
    }
}

bool CListCtrl::NavigationKey(const QKeyEvent& e) {
    const bool ctrl = e.modifiers() & Qt::ControlModifier;
    const bool shift = e.modifiers() & Qt::ShiftModifier;
    const int focused = m_rows.Focused();
    if (e.key() == Qt::Key_Left || e.key() == Qt::Key_Right) {
        horizontalScrollBar()->triggerAction(e.key() == Qt::Key_Left
                                                 ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
        return true;
    }
    if (e.key() == Qt::Key_Space) {
        if (focused >= 0 && ctrl)
            m_selection.Toggle(focused);
        else if (focused >= 0)
            m_selection.SelectOnly(focused);
        if (focused >= 0)
            m_selectionMark = focused;
        return true;
    }
    if (m_rows.Count() == 0)
        return NavigationTarget(e.key(), -1) != kNotNavigation;
    const int target = NavigationTarget(e.key(), focused);
    if (target == kNotNavigation)
        return false;
    if (shift) {
        if (m_selectionMark < 0)
            m_selectionMark = focused >= 0 ? focused : target;
        m_selection.SelectRange(m_selectionMark, target, ctrl);
    } else if (ctrl) {
        m_selection.MoveFocus(target);
    } else {
        m_selection.SelectOnly(target);
        m_selectionMark = target;
    }
    EnsureVisible(target);
    return true;
}

// Typing the start of a name selects the next line whose first column starts
// so; typing one letter again and again steps through the lines with it.
bool CListCtrl::TypeAhead(const QKeyEvent& e) {
    if (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = e.text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    if (!m_typedTimer.isValid() || m_typedTimer.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_typedTimer.start();
    m_typed += text;
    const int count = m_rows.Count();
    if (count == 0)
        return true;
    const bool oneLetter = m_typed.count(m_typed.at(0)) == m_typed.size();
    const QStringView prefix = oneLetter ? QStringView(m_typed).left(1) : QStringView(m_typed);
    int start = std::max(m_rows.Focused(), 0);
    if (oneLetter && m_rows.Focused() >= 0)
        start = (start + 1) % count;
    for (int k = 0; k < count; ++k) {
        const int i = (start + k) % count;
        if (m_rows.Text(i, 0).startsWith(prefix, Qt::CaseInsensitive)) {
            m_selection.SelectOnly(i);
            m_selectionMark = i;
            EnsureVisible(i);
            break;
        }
    }
    return true;
}

void CListCtrl::focusInEvent(QFocusEvent* e) {
    // Not QAbstractItemView's: it would make a current index we do not use.
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void CListCtrl::focusOutEvent(QFocusEvent* e) {
    QTreeView::focusOutEvent(e);
    viewport()->update();
    // A popup menu opened from the list does not take the focus away.
    if (e->reason() != Qt::PopupFocusReason && m_pListener)
        m_pListener->OnKillFocus();
}

void CListCtrl::contextMenuEvent(QContextMenuEvent* e) {
    e->accept(); // the right-button notification serves instead
}
