// What the user does with the play list's lines: play the selection as a
// queue, open single lines by double-click and Enter, delete, select all,
// and the context menu, on a real catalogue with real media.
#include "AppHarness.h"
#include "MediaFixtures.h"
#include "PlayListTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/StatusBar.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "playlist/CListView_Table.h"
#include "res/Resource.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using fixtures::Media;
using namespace pltest;

namespace {

class PlayListCommands : public ::testing::Test {
protected:
    void SetUp() override {
        g_nSlideDelay = 1000;
        g_bQueuePlaying = false;
        g_bImportOnOpen = true;
        ASSERT_TRUE(h.started());
        folder = QDir(media.path()).absolutePath();
    }
    void TearDown() override { CListView_Table::SetMenuChooser({}); }

    CDaoDatabase& db() { return *h.frame().m_PlayList.m_pCDaoDatabase; }
    // Still pictures pic0.png .. pic<n-1>.png in the folder, each with its record.
    void MakeCatalogue(int n) {
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("pic%1.png").arg(i);
            ASSERT_FALSE(fixtures::makeMedia(Media::Png, folder, name).isEmpty());
            AddRecord(db(), {name, "png", 100, COleDateTime(2005, 12, 6, 14, 3, 0), folder});
        }
    }
    QString PathOf(int line) const { return folder + "/" + list->GetItemText(line, 0); }
    void Open() {
        view = OpenPlayList(h);
        ASSERT_NE(view, nullptr);
        list = view->m_pCListCtrl;
        h.frame().show();
        list->setFocus();
        AppHarness::pump(10);
    }
    void Select(std::initializer_list<int> lines) {
        list->SetItemState(-1, 0, LVIS_SELECTED);
        for (int line : lines)
            list->SetItemState(line, LVIS_SELECTED, LVIS_SELECTED);
    }
    QPoint LineCenter(int line) {
        list->SyncView();
        return list->visualRect(list->model()->index(line, 0)).center();
    }
    std::vector<CLumarestDoc*> Players() {
        std::vector<CLumarestDoc*> docs;
        for (const auto& doc : h.app().m_pPlayerTemplate->Documents())
            docs.push_back(dynamic_cast<CLumarestDoc*>(doc.get()));
        return docs;
    }
    // FILES by SQL against the list: the rows the filter keeps shown, the others hidden.
    void ExpectListHoldsFiles() {
        CDaoRecordset rs(&db());
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES ORDER BY Name"));
        QStringList kept, shown = ColumnTexts(*list, 0);
        for (; !rs.IsEOF(); rs.MoveNext())
            if (QString name = rs.GetFieldValue(QStringLiteral("Name")).GetText();
                name.contains(view->FilterText(), Qt::CaseInsensitive))
                kept << name;
        shown.sort();
        EXPECT_EQ(shown, kept);
        EXPECT_EQ(list->GetItemCount() + list->GetHiddenCount(), CountFiles(db()));
    }
    static CLumarestView* PlayerView(CLumarestDoc* doc) {
        return doc->GetViews().empty() ? nullptr
                                       : dynamic_cast<CLumarestView*>(doc->GetViews().front());
    }

    AppHarness h;
    QTemporaryDir media;
    QString folder;
    CListView_Table* view = nullptr;
    CListCtrl* list = nullptr;
};

} // namespace

TEST_F(PlayListCommands, PlaySelectedQueuesTheLinesInOrderAndTheQueueRunsToItsEnd) {
    MakeCatalogue(10);
    Open();
    Select({9, 2, 5});
    ASSERT_TRUE(h.frame().SendCommand(ID_PLAYLIST_PLAYSELECTED));
    ASSERT_EQ(Players().size(), 1u);
    CLumarestDoc* doc = Players().front();
    EXPECT_EQ(doc->m_arrPaths, (QStringList{PathOf(2), PathOf(5), PathOf(9)}));
    EXPECT_EQ(doc->m_arrLines, (std::vector<uint32_t>{2, 5, 9}));
    EXPECT_EQ(list->GetHotItem(), 2);
    EXPECT_EQ(doc->GetTitle(), PathOf(2));
    EXPECT_EQ(doc->m_pCListCtrl.data(), list);
    EXPECT_TRUE(g_bQueuePlaying);
    CLumarestView* player = PlayerView(doc);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(Probe(player).m_strFile, PathOf(2));
    EXPECT_TRUE(Probe(player).m_bPlaying);

    // Still pictures: each tick moves the queue on.
    player->OnTimer(CLumarestView::kTickTimer);
    EXPECT_EQ(Probe(player).m_nQueueIndex, 1);
    EXPECT_EQ(list->GetHotItem(), 5);
    EXPECT_EQ(doc->GetTitle(), PathOf(5));
    player->OnTimer(CLumarestView::kTickTimer);
    EXPECT_EQ(list->GetHotItem(), 9);
    EXPECT_EQ(doc->GetTitle(), PathOf(9));
    EXPECT_EQ(Probe(player).m_strFile, PathOf(9));
    player->OnTimer(CLumarestView::kTickTimer);
    EXPECT_FALSE(g_bQueuePlaying);
    EXPECT_EQ(Probe(player).m_nQueueIndex, 0);
    EXPECT_TRUE(h.messages.empty());
}

TEST_F(PlayListCommands, OneSelectedLineMakesAQueueOfOne) {
    MakeCatalogue(3);
    Open();
    Select({1});
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_PLAY));
    ASSERT_EQ(Players().size(), 1u);
    EXPECT_EQ(Players().front()->m_arrPaths, QStringList{PathOf(1)});
    EXPECT_EQ(Players().front()->m_arrLines, std::vector<uint32_t>{1});
    EXPECT_EQ(list->GetHotItem(), 1);
}

TEST_F(PlayListCommands, PlaySelectedWithoutASelectionOnlyTellsTheUser) {
    MakeCatalogue(2);
    Open();
    Select({});
    view->OnPlaySelected();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Please select a File(s) for play.");
    EXPECT_EQ(h.messages[0].caption, "Lumarest");
    EXPECT_EQ(h.messages[0].owner, view);
    EXPECT_EQ(h.messages[0].type & 0xF, MB_OK);
    EXPECT_TRUE(Players().empty());
    EXPECT_FALSE(g_bQueuePlaying);
}

TEST_F(PlayListCommands, DoubleClickOpensWithoutImportingAndEnterImportsTheFolder) {
    // Three pictures in the folder, one of them catalogued.
    ASSERT_FALSE(fixtures::makeMedia(Media::Png, folder, "b.png").isEmpty());
    ASSERT_FALSE(fixtures::makeMedia(Media::Png, folder, "c.png").isEmpty());
    MakeCatalogue(1);
    Open();
    ASSERT_EQ(list->GetItemCount(), 1);

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, LineCenter(0));
    ASSERT_EQ(Players().size(), 1u);
    EXPECT_EQ(Players().front()->GetPathName(), PathOf(0));
    EXPECT_EQ(PlayerView(Players().front())->File(), PathOf(0));
    EXPECT_TRUE(Players().front()->m_arrPaths.isEmpty());
    EXPECT_TRUE(g_bImportOnOpen);
    EXPECT_EQ(CountFiles(db()), 1);
    EXPECT_EQ(list->GetItemCount(), 1);

    // Enter opens the line last reported changed, and imports its folder first.
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCenter(0));
    EXPECT_EQ(view->m_nCurrentLine, 0);
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(Players().size(), 2u);
    EXPECT_EQ(Players().back()->GetPathName(), folder + "/pic0.png");
    EXPECT_EQ(CountFiles(db()), 3);
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"b.png", "c.png", "pic0.png"}));
    EXPECT_TRUE(h.messages.empty());
}

TEST_F(PlayListCommands, DoubleClickOnNoLineAndEnterOnNoLineDoNothing) {
    MakeCatalogue(2);
    Open();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       QPoint(20, list->viewport()->height() - 5));
    view->m_nCurrentLine = -1;
    QTest::keyClick(list, Qt::Key_Return);
    view->m_nCurrentLine = 7;
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(view->OpenLine(2), nullptr);
    EXPECT_TRUE(Players().empty());
    EXPECT_TRUE(h.messages.empty());
    EXPECT_TRUE(g_bImportOnOpen);
}

TEST_F(PlayListCommands, AMissingFileOrAFolderIsNotFoundAndKeepsItsLine) {
    MakeCatalogue(2);
    QDir(folder).mkdir("sub.png");
    AddRecord(db(), {"sub.png", "png", 0, COleDateTime(2005, 12, 6, 14, 3, 0), folder});
    Open();
    ASSERT_EQ(ColumnTexts(*list, 0), (QStringList{"pic0.png", "pic1.png", "sub.png"}));
    ASSERT_TRUE(QFile::remove(PathOf(0)));

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, LineCenter(0));
    view->OnDblClk(2);
    EXPECT_EQ(h.messageTexts(),
              (QStringList{QStringLiteral("File not found: \"%1\"").arg(PathOf(0)),
                           QStringLiteral("File not found: \"%1\"").arg(PathOf(2))}));
    EXPECT_EQ(h.messages[0].caption, "Lumarest");
    EXPECT_EQ(h.messages[0].type & 0xF, MB_OK);
    EXPECT_TRUE(Players().empty());
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(CountFiles(db()), 3);
    EXPECT_TRUE(g_bImportOnOpen);
}

TEST_F(PlayListCommands, ALineAlreadyPlayingOpensASecondWindow) {
    MakeCatalogue(1);
    Open();
    view->OnDblClk(0);
    view->OnDblClk(0);
    ASSERT_EQ(Players().size(), 2u);
    EXPECT_EQ(Players()[0]->GetPathName(), PathOf(0));
    EXPECT_EQ(Players()[1]->GetPathName(), PathOf(0));
}

TEST_F(PlayListCommands, ALongPathIsOpenedWhole) {
    // Three folder levels of 100 characters: a path far beyond 260 characters.
    QString deep = folder;
    for (int i = 0; i < 3; ++i) {
        deep += "/" + QString(100, QChar(u'a' + i));
        ASSERT_TRUE(QDir().mkpath(deep));
    }
    ASSERT_FALSE(fixtures::makeMedia(Media::Png, deep, "long.png").isEmpty());
    AddRecord(db(), {"long.png", "png", 100, COleDateTime(2005, 12, 6, 14, 3, 0), deep});
    Open();
    view->OnDblClk(0);
    ASSERT_EQ(Players().size(), 1u);
    EXPECT_GT((deep + "/long.png").size(), 300);
    EXPECT_EQ(Players().front()->GetPathName(), deep + "/long.png");
    EXPECT_TRUE(h.messages.empty());
}

TEST_F(PlayListCommands, DeleteKeyAndCommandsDeleteSelectedLinesAfterYes) {
    MakeCatalogue(6);
    Open();
    // Nothing selected: the catalogue says so and nothing changes.
    Select({});
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(h.messageTexts(), QStringList{"Please select a line(s) for delete."});
    EXPECT_EQ(list->GetItemCount(), 6);

    Select({1, 3});
    h.answers.push_back(IDNO);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(h.messageTexts().last(), "Delete those 2 lines from Play List?");
    EXPECT_EQ(list->GetItemCount(), 6);
    h.answers.push_back(IDYES);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"pic0.png", "pic2.png", "pic4.png", "pic5.png"}));
    EXPECT_EQ(CountFiles(db()), 4);
    EXPECT_TRUE(list->isVisible());

    Select({0});
    h.answers.push_back(IDYES);
    ASSERT_TRUE(h.frame().SendCommand(ID_PLAYLIST_REMOVESELECTED));
    EXPECT_EQ(h.messageTexts().last(), "Delete a line \"pic0.png\" from Play List?");
    Select({0});
    h.answers.push_back(IDYES);
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_DELETE));
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"pic4.png", "pic5.png"}));
    EXPECT_EQ(CountFiles(db()), 2);
    // Enter no longer names a line that may have gone.
    EXPECT_EQ(view->m_nCurrentLine, -1);
}

// The view's window is hidden while a deletion asks, shown again after, and
// the keys go on reaching the list.
TEST_F(PlayListCommands, DeletesHideTheViewWhileTheyAskAndKeepTheFocus) {
    MakeCatalogue(3);
    Open();
    ASSERT_TRUE(list->hasFocus());
    std::vector<bool> shownWhileAsking;
    const MessageBoxHandler harnessAnswers = SetMessageBoxHandler([&](const MessageBoxRequest&) {
        shownWhileAsking.push_back(view->isVisible());
        return IDNO;
    });
    Select({1});
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Delete); // the key still reaches the list
    ASSERT_TRUE(h.frame().SendCommand(ID_PLAYLIST_REMOVEALL));
    Select({});
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_DELETE));
    SetMessageBoxHandler(harnessAnswers);
    EXPECT_EQ(shownWhileAsking, (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(PlayListCommands, DeleteAllCommandsEmptyTheTableAfterYes) {
    MakeCatalogue(4);
    Open();
    ASSERT_TRUE(h.frame().SendCommand(ID_PLAYLIST_REMOVEALL)); // answered No
    EXPECT_EQ(h.messageTexts(), QStringList{"Delete all 4 lines from Play List?"});
    EXPECT_EQ(list->GetItemCount(), 4);
    h.answers.push_back(IDYES);
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_DELETEALL));
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(CountFiles(db()), 0);
    EXPECT_EQ(list->GetColumnCount(), 6);
}

TEST_F(PlayListCommands, CtrlASelectsAllAndAAloneGoesToTheList) {
    MakeCatalogue(5);
    Open();
    Select({3});
    // No name starts with "a": the list's own type-ahead finds nothing to select.
    QTest::keyClick(list, Qt::Key_A);
    QTest::keyClick(list, Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{3});
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedCount(), 5);
    Select({});
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_SELECTALL));
    EXPECT_EQ(list->GetSelectedCount(), 5);
}

TEST_F(PlayListCommands, ContextMenuOffersTheRecordsCommandsAndTheChoiceReachesTheView) {
    MakeCatalogue(4);
    Open();
    QStringList entries;
    QPoint shownAt;
    std::vector<int> selectedWhenShown;
    UINT choice = ID_RECORDS_SELECTALL;
    CListView_Table::SetMenuChooser([&](QMenu& menu, QPoint global) {
        entries.clear();
        for (QAction* a : menu.actions())
            entries << a->text();
        shownAt = global;
        selectedWhenShown = SelectedLines(*list);
        return choice;
    });
    const QPoint at = LineCenter(2);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    EXPECT_EQ(entries, (QStringList{"Play", "Delete", "Delete all", "Select all",
                                    "Save selection as\u2026"}));
    EXPECT_EQ(shownAt, list->viewport()->mapToGlobal(at));
    EXPECT_EQ(selectedWhenShown, std::vector<int>{2}); // the list handled the click first
    EXPECT_EQ(list->GetSelectedCount(), 4);

    choice = ID_RECORDS_PLAY;
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, LineCenter(1));
    ASSERT_EQ(Players().size(), 1u); // the whole selection kept: four lines
    EXPECT_EQ(Players().front()->m_arrLines, (std::vector<uint32_t>{0, 1, 2, 3}));

    choice = ID_RECORDS_DELETE;
    Select({3});
    h.answers.push_back(IDYES);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, LineCenter(3));
    EXPECT_EQ(list->GetItemCount(), 3);

    choice = ID_RECORDS_DELETEALL;
    h.answers.push_back(IDYES);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, LineCenter(0));
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(CountFiles(db()), 0);

    choice = 0; // dismissed
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(Players().size(), 1u);
}

TEST_F(PlayListCommands, CommandsAreEnabledWhileAPlayListIsActiveAndFocusLossClearsTheStatus) {
    MakeCatalogue(2);
    Open();
    for (UINT id :
         {ID_PLAYLIST_PLAYSELECTED, ID_RECORDS_PLAY, ID_RECORDS_DELETE, ID_PLAYLIST_REMOVESELECTED,
          ID_RECORDS_DELETEALL, ID_PLAYLIST_REMOVEALL, ID_RECORDS_SELECTALL})
        EXPECT_TRUE(h.frame().QueryCommand(id).m_bEnabled) << id;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LineCenter(1));
    AppHarness::waitFor([&] { return !view->IsStatusTextPending(); });
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), " Line:      2 /      2");
    QLineEdit* other = new QLineEdit(&h.frame());
    other->show();
    other->setFocus();
    AppHarness::waitFor([&] { return h.frame().m_wndStatusBar->GetPaneText(0).isEmpty(); }, 1000);
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), "");
}

// Ctrl+F: a box above the table keeps the lines whose name or folder hold the typed
// text, ignoring case; selecting all, playing and deleting take the lines shown;
// a sort orders the hidden lines too, and Escape brings every line back.
TEST_F(PlayListCommands, TheFilterBoxKeepsMatchingLinesAndTheCommandsTakeThoseShown) {
    for (const char* name :
         {"beach.png", "BEACH night.png", "city.png", "forest.png", "Old city.png"}) {
        ASSERT_FALSE(fixtures::makeMedia(Media::Png, folder, name).isEmpty());
        AddRecord(db(), {name, "png", 100, COleDateTime(2005, 12, 6, 14, 3, 0), folder});
    }
    Open();
    auto* box = view->findChild<QLineEdit*>();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isVisible());
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(box->isVisible());
    EXPECT_TRUE(box->hasFocus());
    EXPECT_LT(box->geometry().bottom(), list->geometry().top()) << "the box lies above the table";

    QTest::keyClicks(box, "BeAcH");
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"BEACH night.png", "beach.png"}));
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), " Lines shown: 2 of 5");
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_TRUE(list->hasFocus());
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->GetSelectedCount(), 2);
    AppHarness::waitFor([&] { return !view->IsStatusTextPending(); });
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), " Line:      2 /      2");

    view->OnPlaySelected();
    const std::vector<CLumarestDoc*> players = Players();
    ASSERT_EQ(players.size(), 1u);
    EXPECT_EQ(players.front()->m_arrPaths,
              (QStringList{folder + "/BEACH night.png", folder + "/beach.png"}));
    h.app().m_pPlayerTemplate->CloseAllDocuments(false);

    h.answers.push_back(IDYES);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(h.messageTexts().last(), "Delete those 2 lines from Play List?");
    EXPECT_EQ(CountFiles(db()), 3);
    EXPECT_EQ(list->GetItemCount(), 0);

    // A folder's name matches too; a sort while filtered orders every line.
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, QDir(folder).dirName().toUpper());
    EXPECT_EQ(list->GetItemCount(), 3);
    box->clear();
    QTest::keyClicks(box, "CITY");
    EXPECT_EQ(ColumnTexts(*list, 0), (QStringList{"city.png", "Old city.png"}));
    view->OnColumnClick(0);
    const QStringList sorted = ColumnTexts(*list, 0);
    EXPECT_EQ(sorted.size(), 2);
    view->FillList(); // as after an import: still filtered
    EXPECT_EQ(list->GetItemCount(), 2);
    view->OnColumnClick(0);
    view->OnColumnClick(0);
    EXPECT_EQ(ColumnTexts(*list, 0), sorted);

    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(list->hasFocus());
    const QStringList all = ColumnTexts(*list, 0);
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all.indexOf("city.png") < all.indexOf("Old city.png"),
              sorted.indexOf("city.png") < sorted.indexOf("Old city.png"));
    // Sorted the same way again, unfiltered: the hidden line had its place already.
    view->OnColumnClick(0);
    view->OnColumnClick(0);
    EXPECT_EQ(ColumnTexts(*list, 0), all);
    // Filtered after selecting all: "all" and the selection are the lines shown.
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(box, "city");
    QTest::keyClick(box, Qt::Key_Down);
    view->OnPlaySelected();
    ASSERT_EQ(Players().size(), 1u);
    EXPECT_EQ(Players().front()->m_arrPaths, (QStringList{PathOf(0), PathOf(1)}));
    h.app().m_pPlayerTemplate->CloseAllDocuments(false);
    Select({0});
    h.answers = {IDYES, IDYES};
    QTest::keyClick(list, Qt::Key_Delete);
    ExpectListHoldsFiles();
    ASSERT_TRUE(h.frame().SendCommand(ID_RECORDS_DELETEALL));
    EXPECT_EQ(h.messageTexts().last(), "Delete all 1 lines from Play List?");
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(0), " Lines shown: 0 of 1");
    ExpectListHoldsFiles();
    QTest::keyClick(box, Qt::Key_Escape); // the hidden line back, as in FILES
    ExpectListHoldsFiles();
}
