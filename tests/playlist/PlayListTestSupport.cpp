#include "PlayListTestSupport.h"

#include "AppHarness.h"

#include "app/CMainFrame.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/listctrl/ListCtrl.h"
#include "playlist/CListView_Table.h"
#include "res/Resource.h"

#include <QMdiArea>
#include <QPointer>

namespace pltest {

namespace {
void Write(CDaoRecordset& rs, const FileRow& row) {
    rs.AddNew();
    rs.SetFieldValue(QStringLiteral("Name"), row.name);
    rs.SetFieldValue(QStringLiteral("Extention"), row.ext);
    if (row.size)
        rs.SetFieldValue(QStringLiteral("Size"), *row.size);
    else
        rs.SetFieldValueNull(QStringLiteral("Size"));
    if (row.created)
        rs.SetFieldValue(QStringLiteral("DateCreated"), COleVariant(*row.created));
    else
        rs.SetFieldValueNull(QStringLiteral("DateCreated"));
    rs.SetFieldValue(QStringLiteral("Directory"), row.dir);
    rs.Update();
}
} // namespace

qint64 AddRecord(CDaoDatabase& db, const FileRow& row) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    Write(rs, row);
    return rs.GetLastModifiedKey();
}

void AddRecords(CDaoDatabase& db, const std::vector<FileRow>& rows) {
    CDaoTransaction transaction(db);
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    for (const FileRow& row : rows)
        Write(rs, row);
    rs.Close();
    transaction.Commit();
}

qint64 CountFiles(CDaoDatabase& db) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    if (rs.IsEOF())
        return 0;
    rs.MoveLast();
    return rs.GetRecordCount();
}

bool RecordExists(CDaoDatabase& db, qint64 key) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    return rs.FindFirst(QStringLiteral("ID_Files=%1").arg(key));
}

CListView_Table* OpenPlayList(AppHarness& h) {
    const QList<CListView_Table*> before = h.frame().findChildren<CListView_Table*>();
    h.frame().SendCommand(ID_VIEW_PLAYLIST);
    for (CListView_Table* view : h.frame().findChildren<CListView_Table*>())
        if (!before.contains(view))
            return view;
    return nullptr;
}

void ClosePlayList(CListView_Table* view) {
    QPointer<CListView_Table> alive(view);
    if (CMDIChildWnd* frame = view->GetParentFrame())
        frame->close();
    // A closed window is deleted later, from the event loop.
    AppHarness::waitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return alive.isNull();
        },
        2000);
}

QStringList ColumnTexts(const CListCtrl& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts << list.GetItemText(i, column);
    return texts;
}

std::vector<int> SelectedLines(const CListCtrl& list) {
    std::vector<int> lines;
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0;
         i = list.GetNextItem(i, LVNI_SELECTED))
        lines.push_back(i);
    return lines;
}

} // namespace pltest
