#pragma once
// The Qt model face of a list's lines and columns. Line changes are not
// signalled one by one: the control gathers them and calls Publish() once an
// event-loop turn, as appended lines (rowsInserted) or, for anything else, a
// reset. Until then rowCount() keeps the count the views were last told.
#include "platform/listctrl/ListRows.h"

#include <QAbstractTableModel>
#include <QString>
#include <vector>

class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        int format = 0; // LVCFMT_*
        int subItem = 0;
    };

    CListModel(CListRows& rows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Inserts a column at index (appended when past the end) and signals it at
    // once; publishes pending line changes first. Returns the index or -1.
    int InsertColumn(int index, Column column);
    int ColumnCount() const { return int(m_columns.size()); }
    const Column* ColumnAt(int index) const;

    // Lines changed other than by appending: the next Publish() resets.
    void NoteReset() { m_reset = true; }
    bool HasPending() const { return m_reset || m_published != m_rows.Count(); }
    void Publish();

private:
    QVariant Alignment(int column) const;

    CListRows& m_rows;
    std::vector<Column> m_columns;
    int m_published = 0;
    bool m_reset = false;
};
