// The play-list view: start-up, filling from the catalogue, sorting and the
// status line.
#include "playlist/CListView_Table.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/WaitCursor.h"
#include "platform/framework/WinApp.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "playlist/FilterBox.h"
#include "playlist/LineFilter.h"
#include "playlist/PlayListCells.h"
#include "playlist/PlayListLineReader.h"
#include "playlist/PlayListOrder.h"
#include "playlist/PlayListSort.h"

#include <QMdiArea>
#include <QVBoxLayout>

namespace {
constexpr uint32_t kExtendedStyle =
    LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
constexpr int kFrameWidth = 630;
constexpr int kFrameHeight = 450;

struct ColumnDef {
    const char16_t* title;
    int width;
    int format;
};
constexpr ColumnDef kColumns[playlist::ColumnCount] = {
    {u"Name", 200, LVCFMT_LEFT},      {u"Extention", 60, LVCFMT_LEFT},
    {u"Size Mb", 80, LVCFMT_RIGHT},   {u"Created", 100, LVCFMT_CENTER},
    {u"Directory", 300, LVCFMT_LEFT}, {u"ID_File", 0, LVCFMT_LEFT},
};

// Keeps the list from painting while it is refilled line by line.
class ScopedNoUpdates {
public:
    explicit ScopedNoUpdates(QWidget* widget) : m_widget(widget), m_was(widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
    }
    ~ScopedNoUpdates() { m_widget->setUpdatesEnabled(m_was); }
    ScopedNoUpdates(const ScopedNoUpdates&) = delete;
    ScopedNoUpdates& operator=(const ScopedNoUpdates&) = delete;

private:
    QWidget* m_widget;
    bool m_was;
};
} // namespace

CListView_Table::CListView_Table() {
    PreCreateWindow();
    RegisterCommands();
}

CListView_Table::~CListView_Table() {
    if (m_pList)
        m_pList->SetListener(nullptr);
    // Whichever play-list window closes, imports refill none until another opens.
    if (CMainFrame* frame = MainFrame())
        frame->m_PlayList.m_pCListView_Table = nullptr;
}

bool CListView_Table::PreCreateWindow() {
    if (m_pList)
        return true;
    m_pList = new CListCtrl(this);
    m_pFilter = new FilterBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pFilter);
    layout->addWidget(m_pList);
    connect(m_pFilter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(m_pFilter, &FilterBox::closeRequested, this, [this] { CloseFilter(); });
    connect(m_pFilter, &FilterBox::leaveRequested, this, [this] { m_pList->setFocus(); });
    setFocusProxy(m_pList);
    m_pList->SetListener(this);
    // A line whose file is gone is greyed: the user sees before trying it.
    m_pList->SetDimmedLines([this](int line) {
        return m_missing.IsMissing(
            playlist::LinePath(m_pList->GetItemTextView(line, playlist::ColDirectory),
                               m_pList->GetItemTextView(line, playlist::ColName)));
    });
    return true;
}

CDao_PlayList* CListView_Table::Catalogue() const {
    return m_pCLumarestDoc ? m_pCLumarestDoc->m_pCDao_PlayList : nullptr;
}

void CListView_Table::OnInitialUpdate() {
    CView::OnInitialUpdate();
    m_pCListCtrl = m_pList;
    m_pCListCtrl->SetExtendedStyle(kExtendedStyle, 0);
    m_pCLumarestDoc = dynamic_cast<CLumarestDoc*>(GetDocument());
    CDao_PlayList* catalogue = Catalogue();
    if (!catalogue)
        return;
    if (!catalogue->OpenCatalogue()) {
        if (!catalogue->m_strFault.isEmpty())
            AfxMessageBox(catalogue->m_strFault, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    catalogue->m_pCListView_Table = this;
    if (CMDIChildWnd* frame = GetParentFrame())
        frame->MoveWindow(0, 0, kFrameWidth, kFrameHeight, true);
    catalogue->StartProgress(QStringLiteral("Filling the Play List: "));
    FillList();
    catalogue->m_CProgressCtrl.DestroyWindow();
    if (HasKeyboardFocus()) {
        if (CMDIFrameWnd* main = AfxGetMainWnd())
            main->SetMessageText(QString());
        return;
    }
    // The window is shown and activated after its initial update: the fill's
    // caption must not stay in the pane over the window it was made for.
    QMetaObject::invokeMethod(
        this, [this] { ShowIdleTextIfActive(); }, Qt::QueuedConnection);
}

void CListView_Table::ShowIdleTextIfActive() {
    CMDIFrameWnd* main = AfxGetMainWnd();
    CMDIChildWnd* frame = GetParentFrame();
    if (main && frame && isVisible() && main->GetMdiArea()->activeSubWindow() == frame)
        main->SetMessageText(AfxResources().LoadString(AFX_IDS_IDLEMESSAGE));
}

bool CListView_Table::FillList() {
    CDao_PlayList* catalogue = Catalogue();
    if (!catalogue || !m_pList)
        return false;
    try {
        const int count = catalogue->CountRecords(QStringLiteral("FILES"));
        if (count == 0)
            return false;
        CWaitCursor wait;
        ScopedNoUpdates frozen(m_pList);
        m_pList->DeleteAllItems();
        m_missing.Forget();  // looked at again as the lines are drawn
        m_nCurrentLine = -1; // the line it named is gone
        FillLines(count);
        if (!FilterText().isEmpty())
            ApplyFilter();
        return true;
    } catch (const CDaoException& e) {
        // The list keeps what was read up to the error, and is shown again.
        AfxMessageBox(e.m_strDescription, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

void CListView_Table::InsertColumns() {
    // Column k goes in at k + 1, past the end, and so is appended at k.
    for (int k = 0; k < playlist::ColumnCount; ++k)
        m_pList->InsertColumn(k + 1, QString::fromUtf16(kColumns[k].title), kColumns[k].format,
                              kColumns[k].width, k + 1);
}

void CListView_Table::FillLines(int count) {
    CDaoDatabase& database = *Catalogue()->m_pCDaoDatabase;
    CDaoRecordset rs(&database);
    // The list comes in the catalogue's collating order, which ignores case.
    m_strText = QStringLiteral("SELECT * FROM FILES ORDER BY FILES.Extention COLLATE NOCASE, "
                               "FILES.Name COLLATE NOCASE;");
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, m_strText, 0);
    if (m_pList->GetColumnCount() == 0)
        InsertColumns();
    m_bFillWhole = false;
    const CDaoDatabase::ChangeStamp stamp = database.GetChangeStamp();
    if (!ShareFillOfAnotherWindow(stamp, count)) {
        playlist::LineReader reader(rs); // fields looked up by name once, not once a line
        m_pList->SetItemCount(count);
        if (!rs.IsEOF())
            rs.MoveFirst();
        // The count came from another query: stop at the end rather than read past it.
        for (int i = 0; i < count && !rs.IsEOF(); ++i) {
            m_pList->AppendItem(reader.Read(rs), i);
            rs.MoveNext();
        }
    }
    rs.Close();
    m_fillStamp = stamp;
    m_nFillVersion = m_pList->GetLinesVersion();
    m_bFillWhole = m_pList->GetItemCount() == count;
}

// Two windows filled from the same catalogue hold the same lines: the second
// shares the first one's memory, each keeping its own order and selection.
bool CListView_Table::ShareFillOfAnotherWindow(const CDaoDatabase::ChangeStamp& stamp, int count) {
    CMainFrame* frame = MainFrame();
    if (!frame)
        return false;
    for (CListView_Table* other : frame->findChildren<CListView_Table*>()) {
        if (other == this || !other->m_bFillWhole || !other->m_pList ||
            other->Catalogue() != Catalogue() || !(other->m_fillStamp == stamp) ||
            other->m_pList->GetLinesVersion() != other->m_nFillVersion ||
            other->m_pList->GetItemCount() != count)
            continue;
        if (m_pList->ShareItemsOf(*other->m_pList))
            return true;
    }
    return false;
}

void CListView_Table::OnColumnClick(int column) {
    if (!m_pList || column < 0 || column >= m_pList->GetColumnCount())
        return;
    // The hidden lines are sorted with the others, so that they come back in order.
    const bool filtered = m_pList->GetHiddenCount() > 0;
    if (filtered)
        m_pList->ShowAllLines();
    SortByColumn(column);
    if (filtered)
        ApplyFilter();
}

void CListView_Table::SortByColumn(int column) {
    g_nSortColumn = column;
    RenumberLines();
    const int count = m_pList->GetItemCount();
    std::vector<CCellView> texts;
    texts.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        texts.push_back(m_pList->GetItemCell(i, column));
    const bool sizeColumn = m_pList->GetColumnTitle(column) == playlist::kSizeColumnTitle;
    // The comparison's order, found from keys of the texts rather than by
    // calling it for every pair of lines.
    m_pList->ArrangeItems(playlist::SortedLines(texts, sizeColumn, g_bSortFlag));
    g_bSortFlag = !g_bSortFlag;
    for (int i = 0; i < m_pList->GetItemCount(); ++i)
        m_pList->SetItemData(i, i);
}

// The sort reads the text of the line that the item data names. Deleted lines
// leave gaps in the numbering, so it is made whole again first.
void CListView_Table::RenumberLines() {
    for (int i = 0; i < m_pList->GetItemCount(); ++i)
        if (m_pList->GetItemData(i) != i)
            m_pList->SetItemData(i, i);
}

// Selecting all of a long list reports every line: the line and count are
// kept at once, the pane is written once the burst is over.
void CListView_Table::OnItemChanged(int item) {
    m_nCurrentLine = item;
    m_nStatusLine = item;
    m_nStatusCount = m_pList ? m_pList->GetItemCount() : 0;
    if (m_bStatusPending)
        return;
    m_bStatusPending = true;
    QMetaObject::invokeMethod(
        this, [this] { FlushStatusText(); }, Qt::QueuedConnection);
}

void CListView_Table::FlushStatusText() {
    if (!m_bStatusPending)
        return;
    m_strText = QString::asprintf(" Line: %6d / %6d", m_nStatusLine + 1, m_nStatusCount);
    ShowStatusText(m_strText);
}

QString CListView_Table::FilterText() const {
    return m_pFilter && m_pFilter->isVisible() ? m_pFilter->text() : QString();
}

void CListView_Table::OpenFilter() {
    m_pFilter->show();
    m_pFilter->selectAll();
    m_pFilter->setFocus(Qt::ShortcutFocusReason);
    ApplyFilter();
}

void CListView_Table::CloseFilter() {
    const bool hadFocus = m_pFilter->hasFocus();
    m_pFilter->hide();
    ApplyFilter(); // the box hidden: nothing filters
    if (hadFocus)
        m_pList->setFocus(Qt::ShortcutFocusReason);
}

void CListView_Table::ApplyFilter() {
    const QString typed = FilterText();
    if (typed.isEmpty()) {
        m_pList->ShowAllLines();
    } else {
        playlist::LineFilter filter(typed);
        m_pList->ShowOnlyLines(
            [&filter](const CListRows::LineView& line) { return filter.Keeps(line); });
    }
    m_nCurrentLine = -1; // the indexes name other lines now
    ShowShownCount();
}

void CListView_Table::ShowShownCount() {
    const int shown = m_pList->GetItemCount();
    ShowStatusText(
        QStringLiteral(" Lines shown: %1 of %2").arg(shown).arg(shown + m_pList->GetHiddenCount()));
}

void CListView_Table::ShowStatusText(const QString& text) {
    m_bStatusPending = false; // a text written now replaces one still waiting
    for (QWidget* w = this; w; w = w->parentWidget()) {
        if (auto* frame = dynamic_cast<CMainFrame*>(w)) {
            if (frame->m_wndStatusBar)
                frame->m_wndStatusBar->SetPaneText(0, text, true);
            return;
        }
    }
}

void CListView_Table::OnKillFocus() {
    ShowStatusText(QString());
}

void CListView_Table::OnKillFocus(QWidget* newFocus) {
    CView::OnKillFocus(newFocus);
    ShowStatusText(QString());
}
