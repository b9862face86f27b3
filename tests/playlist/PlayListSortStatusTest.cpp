// Sorting the play list by a click on a column header, and the status line.
#include "AppHarness.h"
#include "PlayListTestSupport.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/StatusBar.h"
#include "platform/listctrl/ListCtrl.h"
#include "playlist/CListView_Table.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

using namespace pltest;

namespace {
CDaoDatabase& Db(AppHarness& h) {
    return *h.frame().m_PlayList.m_pCDaoDatabase;
}

class PlayListSortTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_nSortColumn = 0;
        g_bSortFlag = false; // as after start-up
        AddRecords(Db(h), {
                              {"banana.avi", "avi", 9961472, COleDateTime(2004, 1, 2, 10, 0, 0)},
                              {"Zebra.mp3", "mp3", 10485760, COleDateTime(2005, 12, 1, 9, 0, 0)},
                              {"apple.ogg", "ogg", 1572864, COleDateTime(2003, 5, 20, 7, 0, 0)},
                              {"Apple.wav", "wav", 0, COleDateTime(2006, 3, 15, 12, 0, 0)},
                              {"cherry.avi", "avi", 2147483648LL, std::nullopt},
                          });
        view = OpenPlayList(h);
        ASSERT_NE(view, nullptr);
        list = view->m_pCListCtrl;
    }
    QStringList Names() const { return ColumnTexts(*list, 0); }
    void ClickHeader(int column) {
        QHeaderView* header = list->header();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    AppHarness h;
    CListView_Table* view = nullptr;
    CListCtrl* list = nullptr;
};
} // namespace

TEST_F(PlayListSortTest, NameAscendingUpperCaseFirstThenNextColumnAlternates) {
    view->OnColumnClick(0);
    EXPECT_EQ(Names(),
              (QStringList{"Apple.wav", "Zebra.mp3", "apple.ogg", "banana.avi", "cherry.avi"}));
    EXPECT_EQ(g_nSortColumn, 0);
    EXPECT_TRUE(g_bSortFlag);
    // The flag flipped: "Extention" right after sorts Z to A.
    view->OnColumnClick(1);
    EXPECT_EQ(ColumnTexts(*list, 1), (QStringList{"wav", "ogg", "mp3", "avi", "avi"}));
    EXPECT_FALSE(g_bSortFlag);
    // Equal extensions keep the order they had.
    EXPECT_EQ(Names().mid(3), (QStringList{"banana.avi", "cherry.avi"}));
    // And the next click on "Name" is ascending again.
    view->OnColumnClick(0);
    EXPECT_EQ(Names().first(), "Apple.wav");
    view->OnColumnClick(0);
    EXPECT_EQ(Names(),
              (QStringList{"cherry.avi", "banana.avi", "apple.ogg", "Zebra.mp3", "Apple.wav"}));
}

TEST_F(PlayListSortTest, SizeFirstClickPutsTheLargestFirstBySizeNotText) {
    view->OnColumnClick(2);
    EXPECT_EQ(ColumnTexts(*list, 2), (QStringList{"2048.00", "10.00", "9.50", "1.50", "0.00"}));
    view->OnColumnClick(2);
    EXPECT_EQ(ColumnTexts(*list, 2), (QStringList{"0.00", "1.50", "9.50", "10.00", "2048.00"}));
}

TEST_F(PlayListSortTest, CreatedSortsByDayOfTheMonthFirst) {
    view->OnColumnClick(3);
    EXPECT_EQ(ColumnTexts(*list, 3),
              (QStringList{"01.12.05 09:00", "02.01.04 10:00", "15.03.06 12:00", "20.05.03 07:00",
                           "Invalid DateTime"}));
}

TEST_F(PlayListSortTest, KeysCompareAsText) {
    AddRecords(Db(h), std::vector<FileRow>(6, FileRow{"more.avi", "avi"}));
    view->FillList();
    ASSERT_EQ(list->GetItemCount(), 11);
    view->OnColumnClick(5);
    const QStringList keys = ColumnTexts(*list, 5);
    EXPECT_EQ(keys.first(), "1");
    EXPECT_EQ(keys[1], "10");
    EXPECT_EQ(keys[2], "11");
    EXPECT_EQ(keys.last(), "9");
}

TEST_F(PlayListSortTest, LinesAreRenumberedAfterASort) {
    view->OnColumnClick(0);
    for (int i = 0; i < list->GetItemCount(); ++i)
        EXPECT_EQ(list->GetItemData(i), i);
}

TEST_F(PlayListSortTest, AHeaderClickReachesTheView) {
    h.frame().show();
    ClickHeader(0);
    EXPECT_EQ(Names().first(), "Apple.wav");
    EXPECT_TRUE(g_bSortFlag);
    ClickHeader(2);
    EXPECT_EQ(ColumnTexts(*list, 2).first(), "0.00"); // flag set: smallest first
}

TEST_F(PlayListSortTest, SortAfterDeletingLinesComparesTheRightLines) {
    // Deleting leaves gaps in the item data the comparison reads lines by.
    list->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    h.answers.push_back(IDYES);
    view->OnDeleteSelected();
    ASSERT_EQ(list->GetItemCount(), 4);
    view->OnColumnClick(0);
    EXPECT_EQ(Names(), (QStringList{"Apple.wav", "Zebra.mp3", "apple.ogg", "cherry.avi"}));
}

TEST(PlayListStatus, LineAndCountRightAlignedAndClearedOnFocusLoss) {
    AppHarness h;
    std::vector<FileRow> rows;
    for (int i = 0; i < 120; ++i)
        rows.push_back({QStringLiteral("f%1.avi").arg(i, 3, 10, QLatin1Char('0')), "avi"});
    AddRecords(*h.frame().m_PlayList.m_pCDaoDatabase, rows);
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CListCtrl* list = view->m_pCListCtrl;
    CStatusBar* bar = h.frame().m_wndStatusBar;
    h.frame().show();
    list->setFocus();
    AppHarness::pump(20);

    // The user moves to the third line.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    AppHarness::waitFor([&] { return !view->IsStatusTextPending(); });
    EXPECT_EQ(bar->GetPaneText(0), " Line:      3 /    120");
    EXPECT_EQ(view->m_nCurrentLine, 2);

    // Losing the focus clears it.
    view->OnKillFocus();
    EXPECT_EQ(bar->GetPaneText(0), "");
}

TEST(PlayListStatus, TheFillCaptionGivesWayToTheIdleTextInTheActiveWindow) {
    AppHarness h;
    AddRecords(*h.frame().m_PlayList.m_pCDaoDatabase, {{"a.avi", "avi"}, {"b.avi", "avi"}});
    h.frame().show();
    AppHarness::pump(20);
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    AppHarness::pump(50);
    EXPECT_EQ(view->ListCtrl()->GetItemCount(), 2);
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), " ");
}

TEST(PlayListStatus, SelectAllWritesThePaneOnce) {
    AppHarness h;
    std::vector<FileRow> rows(2000, FileRow{"x.avi", "avi"});
    AddRecords(*h.frame().m_PlayList.m_pCDaoDatabase, rows);
    CListView_Table* view = OpenPlayList(h);
    ASSERT_NE(view, nullptr);
    CStatusBar* bar = h.frame().m_wndStatusBar;
    h.frame().show();
    AppHarness::pump(20);

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    bar->installEventFilter(&counter);
    view->OnSelectAll();
    AppHarness::waitFor([&] { return !view->IsStatusTextPending(); });
    AppHarness::pump(20);
    bar->removeEventFilter(&counter);
    EXPECT_EQ(view->m_pCListCtrl->GetSelectedCount(), 2000);
    EXPECT_EQ(bar->GetPaneText(0), " Line:   2000 /   2000");
    EXPECT_EQ(view->m_nCurrentLine, 1999);
    EXPECT_LE(counter.paints, 4);
    // A text shown directly is not overwritten by one that was still waiting.
    view->OnSelectAll(); // nothing changes: no notice
    view->m_pCListCtrl->SetItemState(5, 0, LVIS_SELECTED);
    view->ShowStatusText("now");
    AppHarness::pump(20);
    EXPECT_EQ(bar->GetPaneText(0), "now");
}
