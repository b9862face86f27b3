// The play-list window on a real catalogue: its columns, lines and cell
// texts, the fill order, refills, the view reference of the catalogue.
#include "AppHarness.h"
#include "PlayListTestSupport.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/WinApp.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "playlist/CListView_Table.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMdiArea>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace pltest;

namespace {
CDaoDatabase& Db(AppHarness& h) {
    return *h.frame().m_PlayList.m_pCDaoDatabase;
}
} // namespace

TEST(PlayListView, EmptyCatalogueShowsNoColumnsAndARefillCreatesThemOnce) {
    AppHarness h;
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CListCtrl* list = view->m_pCListCtrl;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetColumnCount(), 0);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(h.frame().m_PlayList.m_pCListView_Table, view);

    AddRecord(Db(h), {"a.avi", "avi"});
    EXPECT_TRUE(view->FillList());
    ASSERT_EQ(list->GetColumnCount(), 6);
    const QStringList titles{"Name", "Extention", "Size Mb", "Created", "Directory", "ID_File"};
    const int widths[] = {200, 60, 80, 100, 300, 0};
    const Qt::Alignment aligns[] = {Qt::AlignLeft,    Qt::AlignLeft, Qt::AlignRight,
                                    Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignLeft};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(list->GetColumnTitle(c), titles[c]);
        EXPECT_EQ(list->GetColumnWidth(c), widths[c]) << c;
        const auto align = list->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole);
        EXPECT_EQ(align.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask, aligns[c]) << c;
    }
    EXPECT_EQ(list->GetItemCount(), 1);

    // A refill keeps the widths the user gave and does not double the header.
    list->SetColumnWidth(0, 123);
    list->SetColumnWidth(4, 77);
    AddRecord(Db(h), {"b.avi", "avi"});
    EXPECT_TRUE(view->FillList());
    EXPECT_EQ(list->GetColumnCount(), 6);
    EXPECT_EQ(list->GetColumnWidth(0), 123);
    EXPECT_EQ(list->GetColumnWidth(4), 77);
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"a.avi", "b.avi"}));
}

TEST(PlayListView, FillsOneLinePerRecordByExtensionThenName) {
    AppHarness h;
    CDaoDatabase& db = Db(h);
    const qint64 k1 =
        AddRecord(db, {"song.mp3", "mp3", 1572864, COleDateTime(2004, 1, 2, 8, 5, 0), "/music"});
    const qint64 k2 =
        AddRecord(db, {"clip.avi", "avi", 1048576, COleDateTime(2005, 12, 6, 14, 3, 0), "/video"});
    const qint64 k3 = AddRecord(db, {"Big.avi", "avi", qint64(3) << 30, std::nullopt, "/video"});
    const qint64 k4 =
        AddRecord(db, {"empty.avi", "avi", std::nullopt, COleDateTime(2001, 2, 3, 4, 5, 6), ""});

    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CListCtrl& list = *view->m_pCListCtrl;
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"Big.avi", "clip.avi", "empty.avi", "song.mp3"}));
    EXPECT_EQ(ColumnTexts(list, 1), (QStringList{"avi", "avi", "avi", "mp3"}));
    EXPECT_EQ(ColumnTexts(list, 2), (QStringList{"3072.00", "1.00", "", "1.50"}));
    EXPECT_EQ(ColumnTexts(list, 3), (QStringList{"Invalid DateTime", "06.12.05 14:03",
                                                 "03.02.01 04:05", "02.01.04 08:05"}));
    EXPECT_EQ(ColumnTexts(list, 4), (QStringList{"/video", "/video", "", "/music"}));
    EXPECT_EQ(ColumnTexts(list, 5), (QStringList{QString::number(k3), QString::number(k2),
                                                 QString::number(k4), QString::number(k1)}));
    for (int i = 0; i < list.GetItemCount(); ++i)
        EXPECT_EQ(list.GetItemData(i), i);
}

TEST(PlayListView, TheFillOrderIgnoresCase) {
    AppHarness h;
    CDaoDatabase& db = Db(h);
    AddRecords(db, {{"UPPER.WAV", "WAV"},
                    {"apple.wav", "wav"},
                    {"Zoo.AVI", "AVI"},
                    {"b.avi", "avi"},
                    {"a.avi", "avi"},
                    {"A.avi", "avi"}});
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    // Names equal but for case stay in the order they were catalogued.
    EXPECT_EQ(ColumnTexts(*view->m_pCListCtrl, 0),
              (QStringList{"a.avi", "A.avi", "b.avi", "Zoo.AVI", "apple.wav", "UPPER.WAV"}));
}

// A line whose file is no longer on disk is drawn greyed; nothing is deleted for it, and a
// file put back is seen when the list is filled again.
TEST(PlayListView, LinesOfFilesThatAreGoneAreGreyed) {
    AppHarness h;
    QTemporaryDir folder;
    const QString dir = QDir::toNativeSeparators(folder.path());
    for (const char* name : {"here.wav", "gone.wav", "also.wav"})
        ASSERT_TRUE(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    AddRecords(Db(h), {{"also.wav", "wav", 1, std::nullopt, dir},
                       {"gone.wav", "wav", 1, std::nullopt, dir},
                       {"here.wav", "wav", 1, std::nullopt, dir}});
    ASSERT_TRUE(QFile::remove(folder.filePath("gone.wav")));
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CListCtrl& list = *view->m_pCListCtrl;
    ASSERT_EQ(ColumnTexts(list, 0), (QStringList{"also.wav", "gone.wav", "here.wav"}));
    // The darkest pixel of a line's name: black text, or the greyed one.
    const auto darkest = [&](int line) {
        const QRect cell = list.visualRect(list.model()->index(line, 0));
        const QImage image = list.viewport()->grab(cell).toImage();
        int least = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                least = std::min(least, qGray(image.pixel(x, y)));
        return least;
    };
    EXPECT_LT(darkest(0), 80);
    EXPECT_GT(darkest(1), darkest(0) + 40) << "the line of a file that is gone is not greyed";
    EXPECT_LT(darkest(2), 80);
    EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 3);

    ASSERT_TRUE(QFile(folder.filePath("gone.wav")).open(QIODevice::WriteOnly));
    EXPECT_TRUE(view->FillList());
    EXPECT_LT(darkest(1), 80) << "the file is back";
}

TEST(PlayListView, InitialUpdateSetsUpTheWindow) {
    AppHarness h;
    AddRecord(Db(h), {"a.avi", "avi"});
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_pCListCtrl, view->ListCtrl());
    EXPECT_EQ(view->m_pCListCtrl->GetExtendedStyle(), 0x61u);
    EXPECT_NE(view->m_pCLumarestDoc, nullptr);
    EXPECT_EQ(view->m_pCLumarestDoc->GetTitle(), "Play List");
    CMDIChildWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 630, 450));
    // The progress display is gone once the list is filled.
    EXPECT_FALSE(h.frame().m_PlayList.m_CProgressCtrl.IsWindow());
    EXPECT_TRUE(h.frame().m_wndStatusBar->findChildren<QProgressBar*>().isEmpty());
    EXPECT_TRUE(view->m_pCListCtrl->isVisible());
    EXPECT_TRUE(view->m_pCListCtrl->updatesEnabled());
    EXPECT_TRUE(h.messages.empty());
}

TEST(PlayListView, TwoWindowsAndTheCataloguesViewReference) {
    AppHarness h;
    AddRecord(Db(h), {"a.avi", "avi"});
    CDao_PlayList& catalogue = h.frame().m_PlayList;
    CListView_Table* first = OpenPlayList(h);
    CListView_Table* second = OpenPlayList(h);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(catalogue.m_pCListView_Table, second);
    // Closing the other window clears the reference all the same.
    ClosePlayList(first);
    EXPECT_EQ(catalogue.m_pCListView_Table, nullptr);

    CListView_Table* third = OpenPlayList(h);
    EXPECT_EQ(catalogue.m_pCListView_Table, third);
    ClosePlayList(third);
    EXPECT_EQ(catalogue.m_pCListView_Table, nullptr);
    ClosePlayList(second);
    EXPECT_EQ(catalogue.m_pCListView_Table, nullptr);
}

// Windows filled from the catalogue as it is share the memory of their lines,
// yet each keeps its own order, texts, selection and hot item; once the
// catalogue changes, by this program or another, a new window reads it anew.
TEST(PlayListView, WindowsOfOneCatalogueShareLinesButNotTheirChanges) {
    AppHarness h;
    AddRecords(Db(h), {{"b.avi", "avi", 3 << 20},
                       {"a.mp3", "mp3", 1 << 20},
                       {"c.avi", "avi", 2 << 20},
                       {"Z.avi", "avi", 5 << 20}});
    CListView_Table* first = OpenPlayList(h);
    CListView_Table* second = OpenPlayList(h);
    ASSERT_TRUE(first && second);
    CListCtrl& a = *first->m_pCListCtrl;
    CListCtrl& b = *second->m_pCListCtrl;
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(ColumnTexts(b, column), ColumnTexts(a, column)) << column;
    const QStringList names = ColumnTexts(a, 0);
    EXPECT_EQ(names, (QStringList{"b.avi", "c.avi", "Z.avi", "a.mp3"}));
    for (int i = 0; i < b.GetItemCount(); ++i)
        EXPECT_EQ(b.GetItemData(i), i);

    a.SetItemText(0, 0, QStringLiteral("changed.avi"));
    EXPECT_EQ(ColumnTexts(b, 0), names);
    g_bSortFlag = true;       // the next sort: descending by name
    second->OnColumnClick(0); // a click sorts by code value: capitals first
    EXPECT_EQ(ColumnTexts(b, 0), (QStringList{"c.avi", "b.avi", "a.mp3", "Z.avi"}));
    EXPECT_EQ(ColumnTexts(a, 0), (QStringList{"changed.avi", "c.avi", "Z.avi", "a.mp3"}));
    a.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    b.SetHotItem(2);
    EXPECT_EQ(SelectedLines(a), std::vector<int>{1});
    EXPECT_TRUE(SelectedLines(b).empty());
    EXPECT_EQ(a.GetHotItem(), -1);

    // Changed in the first window, its lines are no fill any more: a third
    // window reads the catalogue and shows the names as they are there.
    CListView_Table* third = OpenPlayList(h);
    EXPECT_EQ(ColumnTexts(*third->m_pCListCtrl, 0), names);
    AddRecord(Db(h), {"d.avi", "avi"});
    CListView_Table* fourth = OpenPlayList(h);
    EXPECT_EQ(fourth->m_pCListCtrl->GetItemCount(), 5);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(Db(h).GetName()).constData(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "DELETE FROM FILES WHERE Name = 'd.avi'", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(other);
    CListView_Table* fifth = OpenPlayList(h);
    EXPECT_EQ(ColumnTexts(*fifth->m_pCListCtrl, 0), names);
    for (CListView_Table* view : {first, second, third, fourth, fifth})
        ClosePlayList(view);
}

TEST(PlayListView, CatalogueThatCannotBeOpenedLeavesTheWindowEmptyAndSaysWhy) {
    AppHarness h;
    CDao_PlayList& catalogue = h.frame().m_PlayList;
    // Another folder whose Lumarest.mdb is no database.
    QTemporaryDir other;
    QFile junk(other.path() + "/Lumarest.mdb");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database at all");
    junk.close();
    catalogue.m_pCDaoDatabase->Close();
    AfxGetApp()->WriteProfileString("Directories", "Dir_exe", other.path());

    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_pCListCtrl->GetColumnCount(), 0);
    EXPECT_EQ(view->m_pCListCtrl->GetItemCount(), 0);
    EXPECT_EQ(catalogue.m_pCListView_Table, nullptr);
    // The window says which file it could not open, and why.
    EXPECT_EQ(h.messageTexts(),
              QStringList{other.path() + "/Lumarest.mdb: file is not a database"});
    QFile check(other.path() + "/Lumarest.mdb");
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("not a database at all"));
}

TEST(PlayListView, EngineErrorDuringFillIsReportedAndTheListStaysUsable) {
    AppHarness h;
    AddRecord(Db(h), {"a.avi", "avi"});
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    Db(h).Execute("DROP TABLE FILES");
    EXPECT_FALSE(view->FillList());
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_FALSE(h.messages[0].text.isEmpty());
    EXPECT_EQ(view->m_pCListCtrl->GetItemCount(), 1); // count failed first: nothing cleared
    EXPECT_TRUE(view->m_pCListCtrl->updatesEnabled());
}

// A line holds its font's whole line spacing above the grid line under it,
// whatever the font: underscores and descenders are not cut off.
TEST(PlayListView, LinesAreAsHighAsTheirFont) {
    AppHarness h;
    AddRecords(*h.frame().m_PlayList.m_pCDaoDatabase, {{"slide_0.png", "png"}});
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CListCtrl* list = view->m_pCListCtrl;
    for (int points : {0, 7, 14, 22}) {
        QFont font = list->font();
        if (points > 0)
            font.setPointSize(points);
        list->setFont(font);
        list->doItemsLayout();
        const int line = list->visualRect(list->model()->index(0, 0)).height();
        EXPECT_GE(line, QFontMetrics(font).lineSpacing() + 2) << points << " points";
    }
}
