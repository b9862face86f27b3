#pragma once
// Paints one cell of the list control from the control's own line state:
// selection (whole line with full-row selection, else the first column), the
// hot line, underlined in the link colour, and dimmed lines, greyed.
#include <QStyledItemDelegate>

class CListCtrl;

class CListCtrlDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CListCtrlDelegate(CListCtrl& ctrl);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A line is never lower than its font's line spacing, plus a pixel above
    // the text and the grid line below it: underscores and descenders stay whole.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const CListCtrl& m_ctrl;
};
