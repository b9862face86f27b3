// The list-view operations of CListCtrl as the play list uses them, and its
// model as views see it.
#include "ListCtrlTestSupport.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// Collects the model tester's complaints instead of letting them scroll by.
class ModelTesterWarnings {
public:
    ModelTesterWarnings() { s_warnings.clear(), m_previous = qInstallMessageHandler(&Handler); }
    ~ModelTesterWarnings() { qInstallMessageHandler(m_previous); }
    const QStringList& List() const { return s_warnings; }

private:
    static void Handler(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            s_warnings << text;
    }
    static inline QStringList s_warnings;
    QtMessageHandler m_previous = nullptr;
};

TEST(ListCtrlItems, TextsAndDataAreStoredPerLineAndColumn) {
    CListCtrl list;
    FillLines(list, 3, 3);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(1, 0), "name1");
    EXPECT_EQ(list.GetItemText(2, 2), "22");
    EXPECT_EQ(list.GetItemTextView(2, 1), u"21");
    EXPECT_EQ(list.GetItemData(2), 2);
    EXPECT_TRUE(list.SetItemText(1, 2, QStringLiteral("changed")));
    EXPECT_EQ(list.GetItemText(1, 2), "changed");
    EXPECT_TRUE(list.SetItemData(1, 77));
    EXPECT_EQ(list.GetItemData(1), 77);
    // Lines and columns that do not exist.
    EXPECT_FALSE(list.SetItemText(3, 0, QStringLiteral("x")));
    EXPECT_FALSE(list.SetItemText(0, 3, QStringLiteral("x")));
    EXPECT_EQ(list.GetItemText(5, 0), QString());
    EXPECT_EQ(list.GetItemText(-1, 0), QString());
    EXPECT_EQ(list.GetItemData(9), 0);
    EXPECT_FALSE(list.SetItemData(-1, 1));
    EXPECT_EQ(list.InsertItem(100, QStringLiteral("appended"), 5), 3);
    EXPECT_EQ(list.InsertItem(-1, QStringLiteral("never"), 5), -1);
}

TEST(ListCtrlItems, SettingItemDataNotifiesOnlyAChange) {
    RecordingListener listener; // outlives the list that reports to it
    CListCtrl list;
    list.SetListener(&listener);
    FillLines(list, 4);
    EXPECT_TRUE(listener.changed.empty()) << "inserting lines notifies nothing";
    list.SetItemData(2, 2);
    list.SetItemData(3, 30);
    EXPECT_EQ(listener.changed, std::vector<int>{3});
}

TEST(ListCtrlColumns, ColumnsPastTheEndAreAppendedWithTitlesAndWidths) {
    CListCtrl list;
    const char* titles[] = {"Name", "Extention", "Size Mb", "Created", "Directory", "ID_File"};
    const int widths[] = {200, 60, 80, 100, 300, 0};
    const int formats[] = {LVCFMT_LEFT,   LVCFMT_LEFT, LVCFMT_RIGHT,
                           LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_LEFT};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(list.InsertColumn(k + 1, titles[k], formats[k], widths[k], k + 1), k);
    ASSERT_EQ(list.GetColumnCount(), 6);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(list.GetColumnTitle(k), titles[k]);
        EXPECT_EQ(list.GetColumnWidth(k), widths[k]);
    }
    EXPECT_EQ(list.header()->count(), 6);
    EXPECT_EQ(list.model()->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                  Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    EXPECT_EQ(list.GetColumnTitle(6), QString());
    EXPECT_EQ(list.InsertColumn(-1, "bad"), -1);
    // Lines go to the columns by index.
    list.InsertItem(0, "clip.avi", 0);
    for (int c = 1; c < 6; ++c)
        list.SetItemText(0, c, QString::number(c));
    list.SyncView();
    EXPECT_EQ(list.model()->index(0, 5).data().toString(), "5");
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "clip.avi");
}

TEST(ListCtrlColumns, ARefillKeepsTheWidthsTheUserSet) {
    CListCtrl list;
    list.resize(600, 300);
    list.show();
    FillLines(list, 50, 3);
    QCoreApplication::processEvents();
    list.header()->resizeSection(1, 137); // as a drag of the divider does
    list.SetColumnWidth(2, 0);
    list.DeleteAllItems();
    FillLines(list, 40, 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.header()->count(), 3);
    EXPECT_EQ(list.GetColumnWidth(1), 137);
    EXPECT_EQ(list.GetColumnWidth(2), 0);
    EXPECT_EQ(list.GetItemCount(), 40);
}

TEST(ListCtrlItems, DeleteItemShiftsTheLinesBelow) {
    CListCtrl list;
    FillLines(list, 6);
    list.SetHotItem(4);
    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(list.DeleteItem(2));
    EXPECT_EQ(list.GetItemCount(), 5);
    EXPECT_EQ(list.GetItemText(2, 0), "name3");
    EXPECT_EQ(list.GetItemText(4, 1), "51");
    EXPECT_EQ(SelectedLines(list), std::vector<int>{2});
    EXPECT_EQ(list.GetHotItem(), 3);
    EXPECT_FALSE(list.DeleteItem(5));
    ASSERT_TRUE(list.DeleteItem(3));
    EXPECT_EQ(list.GetHotItem(), -1);
}

// Deleting the selected lines as the catalogue does: take the first selected
// line, read its key, remove it, again until none is left.
TEST(ListCtrlItems, DeletingSelectedLinesOneByOneKeepsTheRestInOrder) {
    CListCtrl list;
    FillLines(list, 10);
    for (int line : {2, 5, 7})
        list.SetItemState(line, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 3);
    QStringList keys;
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0;
         i = list.GetNextItem(-1, LVNI_SELECTED)) {
        keys << list.GetItemText(i, 1);
        ASSERT_TRUE(list.DeleteItem(i));
    }
    EXPECT_EQ(keys, QStringList({"21", "51", "71"}));
    ASSERT_EQ(list.GetItemCount(), 7);
    QStringList names;
    for (int i = 0; i < list.GetItemCount(); ++i)
        names << list.GetItemText(i, 0);
    EXPECT_EQ(names, QStringList({"name0", "name1", "name3", "name4", "name6", "name8", "name9"}));
    list.SyncView();
    EXPECT_EQ(list.model()->rowCount(), 7);
    EXPECT_EQ(list.model()->index(2, 0).data().toString(), "name3");
}

TEST(ListCtrlSelection, GetNextItemWalksTheSelectedLines) {
    CListCtrl list;
    FillLines(list, 10);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
    for (int line : {7, 2, 5})
        list.SetItemState(line, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(SelectedLines(list), (std::vector<int>{2, 5, 7}));
    EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), 5);
    EXPECT_EQ(list.GetNextItem(5, LVNI_SELECTED), 7);
    EXPECT_EQ(list.GetNextItem(7, LVNI_SELECTED), -1);
    EXPECT_EQ(list.GetNextItem(3, LVNI_ALL), 4);
    EXPECT_EQ(list.GetNextItem(9, LVNI_ALL), -1);
    EXPECT_EQ(list.GetItemState(5, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED);
    list.SetItemState(5, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 5);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED | LVNI_FOCUSED), 5);
    list.SetItemState(5, 0, LVIS_SELECTED);
    EXPECT_EQ(SelectedLines(list), (std::vector<int>{2, 7}));
    EXPECT_EQ(list.GetSelectedCount(), 2);
}

TEST(ListCtrlSelection, SelectAllOneLineAtATimeNotifiesEveryLineInOrder) {
    RecordingListener listener; // outlives the list that reports to it
    CListCtrl list;
    list.SetListener(&listener);
    FillLines(list, 1000);
    for (int i = 0; i < list.GetItemCount(); ++i)
        list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(list.GetSelectedCount(), 1000);
    ASSERT_EQ(listener.changed.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(listener.changed[size_t(i)], i);
    listener.changed.clear();
    for (int i = 0; i < list.GetItemCount(); ++i)
        list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(listener.changed.empty()) << "an unchanged state is not reported";
}

TEST(ListCtrlSelection, HotItemIsOneValidLine) {
    CListCtrl list;
    FillLines(list, 5);
    EXPECT_EQ(list.GetHotItem(), -1);
    EXPECT_EQ(list.SetHotItem(3), -1);
    EXPECT_EQ(list.SetHotItem(9), 3);
    EXPECT_EQ(list.GetHotItem(), -1);
    list.SetHotItem(2);
    list.InsertItem(0, "top", 0);
    EXPECT_EQ(list.GetHotItem(), 3) << "the mark stays on its line";
    list.DeleteAllItems();
    EXPECT_EQ(list.GetHotItem(), -1);
}

// The comparison of the play list: texts of the sort column read through the
// control, by item data used as line index; ascending when the flag is false.
struct SortContext {
    CListCtrl* list;
    int column;
    bool descending;
};

int CALLBACK_Compare(LPARAM a, LPARAM b, LPARAM context) {
    const auto* ctx = reinterpret_cast<const SortContext*>(context);
    const QStringView ta = ctx->list->GetItemTextView(int(a), ctx->column);
    const QStringView tb = ctx->list->GetItemTextView(int(b), ctx->column);
    const int r = tb.compare(ta);
    return ctx->descending ? r : -r;
}

void Renumber(CListCtrl& list) {
    for (int i = 0; i < list.GetItemCount(); ++i)
        list.SetItemData(i, i);
}

QStringList Column(const CListCtrl& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts << list.GetItemText(i, column);
    return texts;
}

TEST(ListCtrlSort, SortsByTheCallbackReadingLinesByItemData) {
    CListCtrl list;
    list.InsertColumn(0, "Name");
    list.InsertColumn(1, "Key");
    const QStringList names{"delta", "Alpha", "charlie", "bravo", "Echo", "alpha"};
    for (int i = 0; i < names.size(); ++i) {
        list.InsertItem(i, names[i], i);
        list.SetItemText(i, 1, QString::number(100 + i));
    }
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED); // "charlie"
    SortContext ctx{&list, 0, false};
    ASSERT_TRUE(list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&ctx)));
    EXPECT_EQ(Column(list, 0),
              QStringList({"Alpha", "Echo", "alpha", "bravo", "charlie", "delta"}));
    EXPECT_EQ(Column(list, 1), QStringList({"101", "104", "105", "103", "102", "100"}));
    EXPECT_EQ(SelectedLines(list), std::vector<int>{4}) << "the selection moves with its line";
    Renumber(list);
    ctx.descending = true;
    ASSERT_TRUE(list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&ctx)));
    EXPECT_EQ(Column(list, 0),
              QStringList({"delta", "charlie", "bravo", "alpha", "Echo", "Alpha"}));
    Renumber(list);
    ctx.column = 1;
    ctx.descending = false;
    ASSERT_TRUE(list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&ctx)));
    EXPECT_EQ(Column(list, 1), QStringList({"100", "101", "102", "103", "104", "105"}));
    EXPECT_EQ(list.GetItemText(0, 0), "delta");
    EXPECT_FALSE(list.SortItems(nullptr, 0));
}

TEST(ListCtrlModel, ViewsSeeAppendsOnceAndConsistentResets) {
    ModelTesterWarnings warnings;
    CListCtrl list;
    QAbstractItemModelTester tester(list.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
    list.hide();
    FillLines(list, 300, 4);
    EXPECT_EQ(list.GetItemCount(), 300);
    EXPECT_EQ(inserted.count(), 0) << "appends are published once per event-loop turn";
    QCoreApplication::processEvents();
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(list.model()->rowCount(), 300);
    EXPECT_EQ(list.model()->index(299, 3).data().toString(), "2993");

    list.DeleteItem(0);
    list.InsertItem(5, "inserted", 0);
    list.SetItemText(5, 2, "sub");
    FillLines(list, 2, 4);
    SortContext ctx{&list, 0, true};
    Renumber(list);
    list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&ctx));
    QCoreApplication::processEvents();
    ASSERT_EQ(list.model()->rowCount(), list.GetItemCount());
    for (int i = 0; i < list.GetItemCount(); ++i)
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(list.model()->index(i, c).data().toString(), list.GetItemText(i, c));
    list.InsertColumn(9, "late");
    list.DeleteAllItems();
    QCoreApplication::processEvents();
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_EQ(list.model()->columnCount(), 5);
    EXPECT_TRUE(warnings.List().isEmpty()) << warnings.List().join('\n').toStdString();
}

TEST(ListCtrlModel, SortingAndDeletingKeepTheScrollPosition) {
    CListCtrl list;
    list.resize(400, 300);
    list.show();
    FillLines(list, 1000);
    QCoreApplication::processEvents();
    list.EnsureVisible(600);
    QCoreApplication::processEvents();
    const int top = list.verticalScrollBar()->value();
    ASSERT_GT(top, 0);
    SortContext ctx{&list, 1, true};
    list.SortItems(&CALLBACK_Compare, reinterpret_cast<LPARAM>(&ctx));
    QCoreApplication::processEvents();
    EXPECT_EQ(list.verticalScrollBar()->value(), top);
    list.DeleteItem(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.verticalScrollBar()->value(), top);
}

} // namespace
