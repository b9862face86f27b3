// The list-view operations of CListCtrl and the batching of view updates.
#include "platform/listctrl/ListCtrl.h"

#include "platform/listctrl/ListCtrlDelegate.h"

#include <QHeaderView>
#include <QScrollBar>

CListCtrl::CListCtrl(QWidget* parent)
    : QTreeView(parent), m_selection(m_rows, [this](int item) { NotifyItemChanged(item); }) {
    // Children are made here, not in the initialisers: adding a child sends
    // this control an event, which must find every member initialised.
    m_pModel = new CListModel(m_rows, this);
    m_pDelegate = new CListCtrlDelegate(*this);
    setModel(m_pModel);
    setItemDelegate(m_pDelegate);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(false);
    setAutoScroll(false);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);

    QHeaderView* head = header();
    head->setStretchLastSection(false);
    head->setSectionsMovable(false);
    head->setSectionsClickable(true);
    head->setHighlightSections(false);
    head->setMinimumSectionSize(0);
    connect(head, &QHeaderView::sectionClicked, this, [this](int column) {
        if (m_pListener)
            m_pListener->OnColumnClick(column);
    });

    // The selection must stay visible while another window is active.
    QPalette pal = palette();
    if (pal.color(QPalette::Inactive, QPalette::Highlight) ==
        pal.color(QPalette::Inactive, QPalette::Base))
        pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Mid));
    setPalette(pal);
}

CListCtrl::~CListCtrl() {
    m_destroying = true;
    m_pListener = nullptr;
    // The model reads m_rows: detach and delete it while m_rows still exists.
    setModel(nullptr);
    delete m_pModel;
}

uint32_t CListCtrl::SetExtendedStyle(uint32_t style, uint32_t mask) {
    const uint32_t old = m_extendedStyle;
    m_extendedStyle = mask == 0 ? style : (old & ~mask) | (style & mask);
    if (!IsHotTrackingStyle(m_extendedStyle))
        viewport()->unsetCursor();
    Repaint();
    return old;
}

// Every line may be another now: no hot line, no selection mark, the views told anew.
void CListCtrl::ForgetAllLines() {
    m_hotItem = -1;
    m_selectionMark = -1;
    m_pModel->NoteReset();
    ScheduleSync();
}

bool CListCtrl::DeleteAllItems() {
    if (!m_rows.Clear())
        return false;
    ForgetAllLines();
    return true;
}

bool CListCtrl::DeleteShownItems() {
    if (!m_rows.EraseShown())
        return false;
    ForgetAllLines();
    return true;
}

bool CListCtrl::DeleteItem(int nItem) {
    if (!m_rows.Erase(nItem))
        return false;
    for (int* index : {&m_hotItem, &m_selectionMark}) {
        if (*index == nItem)
            *index = -1;
        else if (*index > nItem)
            --*index;
    }
    m_pModel->NoteReset();
    ScheduleSync();
    return true;
}

int CListCtrl::InsertColumn(int nCol, const QString& title, int fmt, int width, int subItem) {
    const int index = m_pModel->InsertColumn(nCol, {title, fmt, subItem < 0 ? nCol : subItem});
    if (index >= 0 && width >= 0)
        header()->resizeSection(index, width);
    return index;
}

QString CListCtrl::GetColumnTitle(int nCol) const {
    const CListModel::Column* column = m_pModel->ColumnAt(nCol);
    return column ? column->title : QString();
}

bool CListCtrl::SetColumnWidth(int nCol, int width) {
    if (nCol < 0 || nCol >= GetColumnCount() || width < 0)
        return false;
    header()->resizeSection(nCol, width);
    return true;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    if (nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return header()->sectionSize(nCol);
}

int CListCtrl::InsertItem(int nItem, const QString& text, LPARAM data) {
    const int count = m_rows.Count();
    const int index = m_rows.Insert(nItem, text, data);
    if (index < 0)
        return -1;
    if (index < count) {
        for (int* shifted : {&m_hotItem, &m_selectionMark})
            if (*shifted >= index)
                ++*shifted;
        m_pModel->NoteReset();
    }
    ScheduleSync(); // appended lines are published as such
    return index;
}

int CListCtrl::AppendItem(std::span<const CCellView> cells, LPARAM data) {
    const int index = m_rows.Append(cells, data);
    if (index >= 0)
        ScheduleSync(); // published as appended lines
    return index;
}

bool CListCtrl::ShareItemsOf(const CListCtrl& other) {
    if (&other == this || other.GetColumnCount() != GetColumnCount() ||
        !m_rows.ShareLinesOf(other.m_rows))
        return false;
    ForgetAllLines();
    return true;
}

bool CListCtrl::SetItemText(int nItem, int nSubItem, QStringView text) {
    if (!m_rows.SetText(nItem, nSubItem, text))
        return false;
    Repaint();
    return true;
}

QString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    return m_rows.Text(nItem, nSubItem).toString();
}

bool CListCtrl::SetItemData(int nItem, LPARAM data) {
    if (nItem < 0 || nItem >= m_rows.Count() || m_rows.IsSorting())
        return false;
    if (m_rows.SetData(nItem, data))
        NotifyItemChanged(nItem);
    return true;
}

bool CListCtrl::SortItems(PFNLVCOMPARE fn, LPARAM sortData) {
    if (!fn)
        return false;
    const bool sorted =
        m_rows.SortByData([fn, sortData](LPARAM a, LPARAM b) { return fn(a, b, sortData) < 0; });
    if (!sorted)
        return false;
    m_pModel->NoteReset();
    ScheduleSync();
    return true;
}

bool CListCtrl::ArrangeItems(const std::vector<uint32_t>& order) {
    if (!m_rows.Arrange(order))
        return false;
    m_pModel->NoteReset();
    ScheduleSync();
    return true;
}

bool CListCtrl::ShowOnlyLines(const LineFilter& keep) {
    if (!m_rows.Filter(keep))
        return false;
    ForgetAllLines();
    return true;
}

bool CListCtrl::ShowAllLines() {
    if (m_rows.HiddenCount() == 0)
        return true;
    if (!m_rows.ShowAll())
        return false;
    ForgetAllLines();
    return true;
}

int CListCtrl::GetNextItem(int nStart, int flags) const {
    if (flags & LVNI_SELECTED) {
        for (int i = m_rows.NextSelected(nStart); i >= 0; i = m_rows.NextSelected(i))
            if (!(flags & LVNI_FOCUSED) || (m_rows.State(i) & LVIS_FOCUSED))
                return i;
        return -1;
    }
    if (flags & LVNI_FOCUSED) {
        const int focused = m_rows.Focused();
        return focused > nStart ? focused : -1;
    }
    const int next = std::max(nStart + 1, 0);
    return next < m_rows.Count() ? next : -1;
}

bool CListCtrl::SetItemState(int nItem, uint32_t state, uint32_t mask) {
    if (m_rows.IsSorting())
        return false;
    return m_selection.SetState(nItem, state, mask);
}

uint32_t CListCtrl::GetItemState(int nItem, uint32_t mask) const {
    return m_rows.State(nItem) & mask;
}

int CListCtrl::SetHotItem(int nItem) {
    const int old = m_hotItem;
    m_hotItem = nItem >= 0 && nItem < m_rows.Count() ? nItem : -1;
    if (m_hotItem != old)
        Repaint();
    return old;
}

int CListCtrl::SetSelectionMark(int nItem) {
    const int old = m_selectionMark;
    m_selectionMark = nItem >= 0 && nItem < m_rows.Count() ? nItem : -1;
    return old;
}

bool CListCtrl::EnsureVisible(int nItem) {
    if (nItem < 0 || nItem >= m_rows.Count())
        return false;
    SyncView();
    // Lines scroll into view vertically only; the columns stay where they are.
    const int x = horizontalScrollBar()->value();
    scrollTo(m_pModel->index(nItem, 0), QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
    return true;
}

void CListCtrl::NotifyItemChanged(int item) {
    Repaint();
    if (m_pListener)
        m_pListener->OnItemChanged(item);
}

void CListCtrl::Repaint() {
    m_repaint = true;
    ScheduleSync();
}

void CListCtrl::ScheduleSync() {
    if (m_syncPosted || m_destroying)
        return;
    m_syncPosted = true;
    QMetaObject::invokeMethod(this, &CListCtrl::SyncView, Qt::QueuedConnection);
}

void CListCtrl::SyncView() {
    m_syncPosted = false;
    if (m_destroying || !m_pModel)
        return;
    if (m_pModel->HasPending()) {
        m_rows.Compact();
        m_pModel->Publish();
    }
    if (m_repaint) {
        m_repaint = false;
        viewport()->update();
    }
}

// Any event may make the view read the model (paint, layout timers, input):
// publish what this turn changed first.
bool CListCtrl::event(QEvent* e) {
    if (m_syncPosted)
        SyncView();
    return QTreeView::event(e);
}

bool CListCtrl::viewportEvent(QEvent* e) {
    if (m_syncPosted)
        SyncView();
    return QTreeView::viewportEvent(e);
}
