// Counting records and deleting the records behind play-list lines, with the
// questions asked first, on a real catalogue.
#include "AppHarness.h"
#include "PlayListTestSupport.h"

#include "app/CMainFrame.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/listctrl/ListCtrl.h"

#include <gtest/gtest.h>

#include <limits>

using namespace pltest;

namespace {
class RecordsTest : public ::testing::Test {
protected:
    CDao_PlayList& catalogue() { return h.frame().m_PlayList; }
    CDaoDatabase& db() { return *catalogue().m_pCDaoDatabase; }

    // n records "file<i>.avi" and one line for each, as the play list shows them.
    void MakeLines(int n) {
        for (int c = 0; c < 6; ++c)
            list.InsertColumn(c, QStringLiteral("c%1").arg(c));
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("file%1.avi").arg(i);
            keys.push_back(AddRecord(db(), {name, "avi"}));
            list.InsertItem(i, name, i);
            list.SetItemText(i, 5, QString::number(keys.back()));
        }
    }
    void Select(std::initializer_list<int> lines) {
        for (int line : lines)
            list.SetItemState(line, LVIS_SELECTED, LVIS_SELECTED);
    }
    void DeleteSelected() { catalogue().DeleteSelectedLines(list, "FILES", "ID_Files"); }
    void DeleteAll() { catalogue().DeleteAllLines(list, "FILES", "ID_Files"); }

    AppHarness h;
    CListCtrl list;
    std::vector<qint64> keys;
};
} // namespace

TEST_F(RecordsTest, CountsTheRecordsOfATable) {
    EXPECT_EQ(catalogue().CountRecords("FILES"), 0);
    AddRecords(db(), {{"a.avi", "avi"}, {"b.avi", "avi"}, {"c.avi", "avi"}});
    EXPECT_EQ(catalogue().CountRecords("FILES"), 3);
    EXPECT_EQ(catalogue().m_strBuffer, "SELECT * FROM FILES");
    EXPECT_THROW(catalogue().CountRecords("NO_SUCH_TABLE"), CDaoException);
}

TEST_F(RecordsTest, DeleteAllOnAnEmptyListAsksWithZero) {
    AddRecord(db(), {"kept.avi", "avi"});
    h.answers.push_back(IDYES);
    DeleteAll();
    EXPECT_EQ(h.messageTexts(), QStringList{"Delete all 0 lines from Play List?"});
    EXPECT_EQ(h.messages[0].type & 0xF, MB_YESNO);
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(CountFiles(db()), 1); // only records whose keys the list shows go
}

TEST_F(RecordsTest, DeleteAllNeedsYes) {
    MakeLines(5);
    h.answers.push_back(IDNO);
    DeleteAll();
    EXPECT_EQ(h.messageTexts(), QStringList{"Delete all 5 lines from Play List?"});
    EXPECT_EQ(list.GetItemCount(), 5);
    EXPECT_EQ(CountFiles(db()), 5);

    const qint64 unshown = AddRecord(db(), {"unshown.avi", "avi"});
    h.answers.push_back(IDYES);
    DeleteAll();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(CountFiles(db()), 1);
    EXPECT_TRUE(RecordExists(db(), unshown));
}

TEST_F(RecordsTest, OneSelectedLineIsNamedInTheQuestion) {
    for (int c = 0; c < 6; ++c)
        list.InsertColumn(c, "c");
    const qint64 key = AddRecord(db(), {"clip.avi", "avi"});
    list.InsertItem(0, "clip.avi", 0);
    list.SetItemText(0, 5, QString::number(key));
    Select({0});
    DeleteSelected(); // answered No
    EXPECT_EQ(h.messageTexts(), QStringList{"Delete a line \"clip.avi\" from Play List?"});
    EXPECT_EQ(h.messages[0].type & 0xF, MB_YESNO);
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_TRUE(RecordExists(db(), key));

    h.answers.push_back(IDYES);
    DeleteSelected();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_FALSE(RecordExists(db(), key));
}

TEST_F(RecordsTest, ThreeOfTenSelectedGoTogetherWithTheirRecords) {
    MakeLines(10);
    Select({2, 5, 7});
    h.answers.push_back(IDYES);
    DeleteSelected();
    EXPECT_EQ(h.messageTexts(), QStringList{"Delete those 3 lines from Play List?"});
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"file0.avi", "file1.avi", "file3.avi", "file4.avi",
                                                 "file6.avi", "file8.avi", "file9.avi"}));
    EXPECT_EQ(CountFiles(db()), 7);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(RecordExists(db(), keys[size_t(i)]), i != 2 && i != 5 && i != 7) << i;
    EXPECT_TRUE(SelectedLines(list).empty());
}

TEST_F(RecordsTest, ThreeOfTenAnsweredNoChangeNothing) {
    MakeLines(10);
    Select({2, 5, 7});
    h.answers.push_back(IDNO);
    DeleteSelected();
    EXPECT_EQ(list.GetItemCount(), 10);
    EXPECT_EQ(CountFiles(db()), 10);
    EXPECT_EQ(SelectedLines(list), (std::vector<int>{2, 5, 7}));
}

TEST_F(RecordsTest, ALineWhoseKeyMatchesNoRecordIsStillRemoved) {
    MakeLines(4);
    list.SetItemText(1, 5, "999999");
    list.SetItemText(2, 5, "no digits");
    Select({1, 2});
    h.answers.push_back(IDYES);
    DeleteSelected();
    EXPECT_EQ(ColumnTexts(list, 0), (QStringList{"file0.avi", "file3.avi"}));
    EXPECT_EQ(CountFiles(db()), 4); // no record matched either key
    // The last filter built: text without digits is key 0.
    EXPECT_EQ(catalogue().m_strBuffer, "ID_Files=0");
}

TEST_F(RecordsTest, KeyTextIsReadAsAtolDoes) {
    MakeLines(3);
    list.SetItemText(0, 5, QStringLiteral("  %1xyz").arg(keys[2])); // blanks, digits, rest ignored
    Select({0});
    h.answers.push_back(IDYES);
    DeleteSelected();
    EXPECT_FALSE(RecordExists(db(), keys[2]));
    EXPECT_TRUE(RecordExists(db(), keys[0]));
}

TEST_F(RecordsTest, AKeyOfSixtyFourBitsIsReadWholeAndItsRecordDeleted) {
    MakeLines(2);
    const qint64 top = std::numeric_limits<qint64>::max();
    db().Execute(
        QStringLiteral("UPDATE FILES SET ID_Files=%1 WHERE ID_Files=%2").arg(top).arg(keys[1]));
    list.SetItemText(1, 5, QString::number(top));
    Select({1});
    h.answers.push_back(IDYES);
    DeleteSelected();
    EXPECT_FALSE(RecordExists(db(), top));
    EXPECT_TRUE(RecordExists(db(), keys[0]));
    EXPECT_EQ(ColumnTexts(list, 0), QStringList{"file0.avi"});
}

TEST_F(RecordsTest, NothingSelectedOnlyTellsTheUser) {
    MakeLines(3);
    h.answers.push_back(IDYES); // would answer a question if one came
    DeleteSelected();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Please select a line(s) for delete.");
    EXPECT_EQ(h.messages[0].caption, "");
    EXPECT_EQ(h.messages[0].owner, nullptr);
    EXPECT_EQ(h.messages[0].type & 0xF, MB_OK);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(CountFiles(db()), 3);
}

TEST_F(RecordsTest, EngineErrorsGoToTheCallerAndLeaveTheListAsItWas) {
    MakeLines(3);
    Select({0, 2});
    db().Execute("DROP TABLE FILES");
    h.answers.push_back(IDYES);
    EXPECT_THROW(DeleteSelected(), CDaoException);
    EXPECT_EQ(list.GetItemCount(), 3);
    h.answers.push_back(IDYES);
    EXPECT_THROW(DeleteAll(), CDaoException);
    EXPECT_EQ(list.GetItemCount(), 3);
}
