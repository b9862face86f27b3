#pragma once
// Report-style list control: the list-view operations and notifications the
// program uses, over a model of our own and a QTreeView.
//
// Lines live in CListRows with their selection and focus state; selection, the
// hot line and grid lines are drawn from there, not from QItemSelectionModel.
// Every Get* call sees changes at once; the view is told about them once per
// event-loop turn (or by SyncView()), so filling a hidden control costs no
// per-line view work.
#include "platform/listctrl/ListCtrlTypes.h"
#include "platform/listctrl/ListModel.h"
#include "platform/listctrl/ListRows.h"
#include "platform/listctrl/ListSelection.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringView>
#include <QTreeView>

#include <functional>

class CListCtrlDelegate;

class CListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CListCtrl(QWidget* parent = nullptr);
    ~CListCtrl() override;

    // Non-owning; null to stop notifications.
    void SetListener(CListCtrlListener* listener) { m_pListener = listener; }

    // Lines for which this answers true are drawn greyed. Asked only for the lines painted.
    using DimmedLines = std::function<bool(int nItem)>;
    void SetDimmedLines(DimmedLines dimmed) { m_dimmed = std::move(dimmed); }
    bool IsLineDimmed(int nItem) const { return m_dimmed && m_dimmed(nItem); }

    // Replaces the extended styles (LVS_EX_*) under mask (0: all); returns the old ones.
    uint32_t SetExtendedStyle(uint32_t style, uint32_t mask = 0);
    uint32_t GetExtendedStyle() const { return m_extendedStyle; }

    bool DeleteAllItems();
    // Deletes the lines shown and keeps those a filter hides (ShowOnlyLines); the
    // same as DeleteAllItems when none is hidden.
    bool DeleteShownItems();
    bool DeleteItem(int nItem);
    int GetItemCount() const { return m_rows.Count(); }
    // Prepares for this many lines in all (a long fill then grows nothing).
    void SetItemCount(int nItems) { m_rows.Reserve(nItems); }

    int GetColumnCount() const { return m_pModel->ColumnCount(); }
    // Inserts a column, appended when nCol is past the end; width -1 keeps the
    // default width, 0 hides it. Returns the column's index, or -1.
    int InsertColumn(int nCol, const QString& title, int fmt = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);
    QString GetColumnTitle(int nCol) const;
    bool SetColumnWidth(int nCol, int width);
    int GetColumnWidth(int nCol) const;

    // Inserts a line at nItem (appended when past the end); returns its index or -1.
    int InsertItem(int nItem, const QString& text, LPARAM data = 0);
    // Appends a line with the texts of its cells from column 0 on, stored as
    // they are given (Latin-1 bytes or UTF-16); returns its index or -1. The
    // same as InsertItem past the end and SetItemText, for long fills.
    int AppendItem(std::span<const CCellView> cells, LPARAM data);
    // Takes the lines of another control with the same columns as they are
    // (texts and item data; none selected, no hot item); the two share the
    // memory of the lines until either changes them. False when it cannot.
    bool ShareItemsOf(const CListCtrl& other);
    // Changes whenever a line is added, removed, moved or gets another text or
    // item data: equal versions of one control mean the same lines.
    uint64_t GetLinesVersion() const { return m_rows.Version(); }
    bool SetItemText(int nItem, int nSubItem, QStringView text);
    bool SetItemText(int nItem, int nSubItem, const QString& text) {
        return SetItemText(nItem, nSubItem, QStringView(text));
    }
    QString GetItemText(int nItem, int nSubItem) const;
    // The same text without a copy: valid until the control next changes or the
    // event loop runs. Empty for a line or column that does not exist.
    // Each such view may reuse one of eight buffers, so no more than eight are
    // valid at once.
    QStringView GetItemTextView(int nItem, int nSubItem) const {
        return m_rows.Text(nItem, nSubItem);
    }
    // The text as stored (Latin-1 or UTF-16), valid until the control next
    // changes: for reading many texts at once, as a sort does.
    CCellView GetItemCell(int nItem, int nSubItem) const { return m_rows.Cell(nItem, nSubItem); }
    bool SetItemData(int nItem, LPARAM data);
    LPARAM GetItemData(int nItem) const { return m_rows.Data(nItem); }

    // Sorts the lines with fn(dataA, dataB, sortData), stably. The lines stay
    // where they are while fn runs (it may read them by index); the control
    // refuses changes until the sort is done.
    bool SortItems(PFNLVCOMPARE fn, LPARAM sortData);

    // Puts the lines in the given order at once: order[i] is the index of the
    // line that goes to index i, every index once. For a sort whose order is
    // found elsewhere; the same as SortItems with a comparison giving it.
    bool ArrangeItems(const std::vector<uint32_t>& order);

    // Next line after nStart (-1: from the top) having every state of flags
    // (LVNI_SELECTED, LVNI_FOCUSED; LVNI_ALL any line), or -1.
    int GetNextItem(int nStart, int flags) const;
    // nItem -1 applies to every line. Each line that changes is notified.
    bool SetItemState(int nItem, uint32_t state, uint32_t mask);
    uint32_t GetItemState(int nItem, uint32_t mask) const;
    int GetSelectedCount() const { return m_rows.SelectedCount(); }
    // Marks a line as hot (-1: none); returns the previous hot line.
    int SetHotItem(int nItem);
    int GetHotItem() const { return m_hotItem; }
    // The line that Shift+click and Shift+arrows extend from, or -1.
    int GetSelectionMark() const { return m_selectionMark; }
    int SetSelectionMark(int nItem);
    bool EnsureVisible(int nItem);
    // The line under a point in the control's own coordinates, or -1.
    int HitTest(QPoint clientPos);
    // Modifiers of the key event being reported by OnKeyDown (GetKeyState stand-in).
    Qt::KeyboardModifiers GetKeyModifiers() const { return m_keyModifiers; }

    // Shows only the lines for which keep answers true, every line kept being asked; the
    // others are hidden until shown again, in their place, with their texts and data.
    // Every index, count and selection is then of the lines shown; hidden lines lose
    // their selection. Sorting is refused while lines are hidden.
    using LineFilter = std::function<bool(const CListRows::LineView& line)>;
    bool ShowOnlyLines(const LineFilter& keep);
    bool ShowAllLines();
    int GetHiddenCount() const { return m_rows.HiddenCount(); }

    // Tells the view now about the changes of this event-loop turn.
    void SyncView();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void ScheduleSync();
    void ForgetAllLines();
    void LinesMoved();
    void Repaint();
    void NotifyItemChanged(int item);
    int HitTestViewport(QPoint viewportPos);
    bool HotTracking() const;
    void TrackHot(QPoint viewportPos);
    void ClickSelect(int item, Qt::KeyboardModifiers modifiers);
    void RightClickSelect(int item, Qt::KeyboardModifiers modifiers);
    bool NavigationKey(const QKeyEvent& e);
    int NavigationTarget(int key, int from);
    bool TypeAhead(const QKeyEvent& e);
    int RowsPerPage();
    void PaintGrid();
    void ShiftIndexes(int from, int delta);

    CListRows m_rows;
    CListModel* m_pModel = nullptr; // child object
    CListSelection m_selection;
    CListCtrlDelegate* m_pDelegate = nullptr; // child object
    CListCtrlListener* m_pListener = nullptr;
    DimmedLines m_dimmed;
    uint32_t m_extendedStyle = 0;
    int m_hotItem = -1;
    int m_selectionMark = -1;
    Qt::KeyboardModifiers m_keyModifiers;
    QString m_typed;
    QElapsedTimer m_typedTimer;
    bool m_syncPosted = false;
    bool m_repaint = false;
    bool m_destroying = false;
};
