#include "platform/listctrl/ListModel.h"

CListModel::CListModel(CListRows& rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(rows) {}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_published;
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.Count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.Cell(index.row(), index.column()).ToString();
    case Qt::TextAlignmentRole:
        return Alignment(index.column());
    default:
        return {};
    }
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const Column* column = ColumnAt(section);
    if (orientation != Qt::Horizontal || !column)
        return {};
    if (role == Qt::DisplayRole)
        return column->title;
    if (role == Qt::TextAlignmentRole)
        return Alignment(section);
    return {};
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QVariant CListModel::Alignment(int column) const {
    const Column* c = ColumnAt(column);
    const int format = c ? c->format & 3 : 0;
    const Qt::Alignment horizontal = format == LVCFMT_RIGHT    ? Qt::AlignRight
                                     : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                               : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
}

const CListModel::Column* CListModel::ColumnAt(int index) const {
    if (index < 0 || index >= ColumnCount())
        return nullptr;
    return &m_columns[size_t(index)];
}

int CListModel::InsertColumn(int index, Column column) {
    if (index < 0 || m_rows.IsSorting())
        return -1;
    Publish();
    index = std::min(index, ColumnCount());
    beginInsertColumns(QModelIndex(), index, index);
    // Lines hold one cell even without columns: the item text.
    if (ColumnCount() + 1 > m_rows.CellsPerRow())
        m_rows.InsertCell(index);
    m_columns.insert(m_columns.begin() + index, std::move(column));
    endInsertColumns();
    return index;
}

void CListModel::Publish() {
    if (m_reset) {
        beginResetModel();
        m_published = m_rows.Count();
        m_reset = false;
        endResetModel();
    } else if (m_rows.Count() > m_published) {
        beginInsertRows(QModelIndex(), m_published, m_rows.Count() - 1);
        m_published = m_rows.Count();
        endInsertRows();
    } else if (m_rows.Count() < m_published) {
        // Only reached if a caller forgot NoteReset(); stay consistent anyway.
        beginResetModel();
        m_published = m_rows.Count();
        endResetModel();
    }
}
