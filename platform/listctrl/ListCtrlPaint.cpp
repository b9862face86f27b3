// Painting of CListCtrl beyond the cells: the focus frame of the focused line
// and the grid lines.
#include "platform/listctrl/ListCtrl.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionFocusRect>

void CListCtrl::paintEvent(QPaintEvent* e) {
    QTreeView::paintEvent(e);
    if (m_extendedStyle & LVS_EX_GRIDLINES)
        PaintGrid();
}

void CListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (!hasFocus() || index.row() != m_rows.Focused())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect =
        QRect(-header()->offset(), option.rect.y(), header()->length(), option.rect.height());
    const bool selected = m_rows.State(index.row()) & LVIS_SELECTED;
    focus.backgroundColor = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
}

// Lines between the columns and under every line, through the empty part of
// the view as well.
void CListCtrl::PaintGrid() {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Midlight).darker(115));
    const QHeaderView* head = header();
    const int height = viewport()->height();
    const int right = std::min(head->length() - head->offset(), viewport()->width());
    for (int v = 0; v < head->count(); ++v) {
        const int logical = head->logicalIndex(v);
        if (head->isSectionHidden(logical) || head->sectionSize(logical) == 0)
            continue;
        const int x = head->sectionViewportPosition(logical) + head->sectionSize(logical) - 1;
        painter.drawLine(x, 0, x, height);
    }
    int line = m_pModel->rowCount() > 0 ? rowHeight(m_pModel->index(0, 0)) : 0;
    if (line <= 0)
        line = fontMetrics().height() + 4;
    for (int y = line - 1 - verticalOffset() % line; y < height; y += line)
        painter.drawLine(0, y, right, y);
}
