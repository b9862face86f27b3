#include "platform/listctrl/ListCtrlDelegate.h"

#include "platform/listctrl/ListCtrl.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

CListCtrlDelegate::CListCtrlDelegate(CListCtrl& ctrl) : QStyledItemDelegate(&ctrl), m_ctrl(ctrl) {}

void CListCtrlDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // The item view's own idea of selection, hover and focus is not ours.
    opt.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
    const int row = index.row();
    const uint32_t style = m_ctrl.GetExtendedStyle();
    const bool selected = m_ctrl.GetItemState(row, LVIS_SELECTED) &&
                          ((style & LVS_EX_FULLROWSELECT) || index.column() == 0);
    if (selected)
        opt.state |= QStyle::State_Selected;
    if (m_ctrl.IsLineDimmed(row))
        opt.palette.setColor(QPalette::Text, opt.palette.color(QPalette::Disabled, QPalette::Text));
    if (row == m_ctrl.GetHotItem() && IsHotTrackingStyle(style)) {
        opt.font.setUnderline(true);
        if (!selected)
            opt.palette.setColor(QPalette::Text, opt.palette.color(QPalette::Link));
    }
    const QWidget* widget = option.widget;
    QStyle* qstyle = widget ? widget->style() : QApplication::style();
    qstyle->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

QSize CListCtrlDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), QFontMetrics(option.font).lineSpacing() + 2));
    return size;
}
