// CListCtrl under the mouse and the keyboard: selection, notifications and
// their order, the hot line, focus, and what is drawn.
#include "ListCtrlTestSupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class ListInput : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        list = new CListCtrl;
        edit = new QLineEdit;
        layout->addWidget(list);
        layout->addWidget(edit);
        list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
        list->SetListener(&listener);
        window.resize(500, 420);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        list->setFocus();
        QCoreApplication::processEvents();
    }

    void Fill(const QStringList& names) {
        list->InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        list->InsertColumn(1, "Key", LVCFMT_RIGHT, 100);
        for (int i = 0; i < names.size(); ++i) {
            list->InsertItem(i, names[i], i);
            list->SetItemText(i, 1, QString::number(i));
        }
        QCoreApplication::processEvents();
    }

    QPoint LinePoint(int line, int column = 1) {
        list->SyncView();
        return list->visualRect(list->model()->index(line, column)).center();
    }
    QPoint BelowTheLines() { return QPoint(20, list->viewport()->height() - 5); }

    void Click(int line, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, LinePoint(line));
    }
    QImage LineImage(int line) {
        QRect rect = list->visualRect(list->model()->index(line, 0));
        rect.setLeft(0);
        rect.setRight(list->header()->length() - 1);
        return list->viewport()->grab().toImage().copy(rect);
    }

    // Outlives the window: closing the window takes the focus from the list, which
    // tells its listener.
    RecordingListener listener;
    QWidget window;
    CListCtrl* list = nullptr;
    QLineEdit* edit = nullptr;
};

QStringList Names(int count) {
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("line%1").arg(i);
    return names;
}

TEST_F(ListInput, ClicksSelectAndReportTheOldLineBeforeTheNewOne) {
    Fill(Names(10));
    Click(1);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{1});
    listener.changed.clear();
    Click(3);
    EXPECT_EQ(listener.changed, (std::vector<int>{1, 3}));
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{3});
    EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 3);

    Click(5, Qt::ControlModifier);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{3, 5}));
    EXPECT_EQ(listener.changed.back(), 5);
    Click(7, Qt::ShiftModifier);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(listener.changed.back(), 7);
    Click(6, Qt::ControlModifier);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{5, 7}));
    Click(2, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{2, 3, 4, 5, 6, 7}));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, BelowTheLines());
    EXPECT_TRUE(SelectedLines(*list).empty());
}

TEST_F(ListInput, WithoutFullRowSelectOnlyTheFirstColumnHoldsTheLine) {
    Fill(Names(5));
    list->SetExtendedStyle(0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LinePoint(2, 1));
    EXPECT_TRUE(SelectedLines(*list).empty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, LinePoint(2, 0));
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{2});
}

TEST_F(ListInput, DoubleClickReportsTheLineOrMinusOne) {
    Fill(Names(5));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, LinePoint(2));
    ASSERT_EQ(listener.doubleClicks, std::vector<int>{2});
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{2});
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, BelowTheLines());
    EXPECT_EQ(listener.doubleClicks, (std::vector<int>{2, -1}));
}

TEST_F(ListInput, KeysReachTheListenerBeforeTheControlMovesTheFocus) {
    Fill(Names(10));
    Click(1);
    int focusSeenByListener = -2;
    listener.onKey = [&](unsigned) { focusSeenByListener = list->GetNextItem(-1, LVNI_FOCUSED); };
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(listener.keys, std::vector<unsigned>{0x28});
    EXPECT_EQ(focusSeenByListener, 1);
    EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 2);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{2});
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{2, 3, 4}));
    QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 3);
    EXPECT_EQ(SelectedLines(*list), (std::vector<int>{2, 3, 4}));
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{9});
    QTest::keyClick(list, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(SelectedLines(*list).size(), 10u);
    EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 0);
}

TEST_F(ListInput, CtrlAIsTheListenersAndPlainAIsTypeAhead) {
    Fill({"banana", "apple", "cherry", "avocado", "blueberry"});
    Click(0);
    // The play list selects every line on Ctrl+A, one line at a time.
    listener.onKey = [&](unsigned vk) {
        if (vk == 'A' && (list->GetKeyModifiers() & Qt::ControlModifier))
            for (int i = 0; i < list->GetItemCount(); ++i)
                list->SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    };
    listener.keys.clear();
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(listener.keys, (std::vector<unsigned>{0x11, 0x41}));
    EXPECT_EQ(list->GetSelectedCount(), 5);

    listener.keys.clear();
    QTest::keyClick(list, Qt::Key_A);
    EXPECT_EQ(listener.keys, std::vector<unsigned>{0x41});
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{1}) << "the control's own search: apple";
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClick(list, Qt::Key_A);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{3}) << "the next line with a: avocado";
}

TEST_F(ListInput, EnterAndDeleteAreReportedAndTheControlCopesWithDeletedLines) {
    Fill(Names(6));
    Click(4);
    listener.onKey = [&](unsigned vk) {
        if (vk == 0x2E) // the play list deletes the selected lines
            for (int i = list->GetNextItem(-1, LVNI_SELECTED); i >= 0;
                 i = list->GetNextItem(-1, LVNI_SELECTED))
                list->DeleteItem(i);
    };
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(listener.keys, (std::vector<unsigned>{0x0D, 0x0D, 0x2E}));
    EXPECT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetItemText(4, 0), "line5");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(SelectedLines(*list), std::vector<int>{0})
        << "no focused line: Down starts at the top";
}

TEST_F(ListInput, TheHotLineFollowsThePointerAndCanBeSet) {
    Fill(Names(8));
    list->SetHotItem(2);
    EXPECT_EQ(list->GetHotItem(), 2);
    QTest::mouseMove(list->viewport(), LinePoint(5));
    EXPECT_EQ(list->GetHotItem(), 5);
    QTest::mouseMove(list->viewport(), LinePoint(6));
    EXPECT_EQ(list->GetHotItem(), 6);
    QTest::mouseMove(list->viewport(), BelowTheLines());
    EXPECT_EQ(list->GetHotItem(), -1);
    list->SetHotItem(1);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    QTest::mouseMove(list->viewport(), LinePoint(4));
    EXPECT_EQ(list->GetHotItem(), 1) << "without hot tracking the mark stays";
}

TEST_F(ListInput, RightButtonSelectsFirstThenNotifiesInControlCoordinates) {
    Fill(Names(8));
    Click(1);
    Click(2, Qt::ControlModifier);
    std::vector<int> selectedAtNotice;
    listener.onRightDown = [&](QPoint) { selectedAtNotice = SelectedLines(*list); };
    const QPoint at = LinePoint(2);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
    EXPECT_EQ(selectedAtNotice, (std::vector<int>{1, 2})) << "a selected line keeps the selection";
    ASSERT_EQ(listener.rightDowns.size(), 1u);
    EXPECT_EQ(listener.rightDowns[0], list->viewport()->mapTo(list, at));
    EXPECT_NE(listener.rightDowns[0], at) << "the header lies above the lines";
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, LinePoint(5));
    EXPECT_EQ(selectedAtNotice, std::vector<int>{5});
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, LinePoint(5));
}

TEST_F(ListInput, LosingTheFocusIsReported) {
    Fill(Names(3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    EXPECT_EQ(listener.killFocus, 1);
}

TEST_F(ListInput, HeaderClicksAndDividerDragsReachTheColumns) {
    Fill(Names(20));
    QHeaderView* head = list->header();
    const int y = head->height() / 2;
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {},
                      QPoint(head->sectionViewportPosition(1) + 20, y));
    EXPECT_EQ(listener.columnClicks, std::vector<int>{1});

    const int divider = head->sectionSize(0) - 1;
    QTest::mousePress(head->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
    QTest::mouseMove(head->viewport(), QPoint(divider + 30, y));
    QTest::mouseMove(head->viewport(), QPoint(divider + 60, y));
    QTest::mouseRelease(head->viewport(), Qt::LeftButton, {}, QPoint(divider + 60, y));
    const int dragged = list->GetColumnWidth(0);
    EXPECT_GT(dragged, 150);
    EXPECT_EQ(listener.columnClicks.size(), 1u) << "a drag is no click";
    list->DeleteAllItems();
    for (int i = 0; i < 5; ++i)
        list->InsertItem(i, "again", i);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->GetColumnWidth(0), dragged);
}

TEST_F(ListInput, SelectionAndHotLineAreVisiblyMarkedWithAndWithoutFocus) {
    Fill(QStringList(6, "same text"));
    for (int i = 0; i < 6; ++i)
        list->SetItemText(i, 1, "same");
    list->SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    list->SetHotItem(1);
    QCoreApplication::processEvents();
    const QImage plain = LineImage(2);
    EXPECT_NE(LineImage(1), plain) << "hot line";
    EXPECT_NE(LineImage(3), plain) << "selected line";
    EXPECT_EQ(LineImage(4), plain);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    EXPECT_NE(LineImage(3), LineImage(4)) << "selection shown without focus";
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.isActiveWindow(); }));
    EXPECT_NE(LineImage(3), LineImage(4)) << "selection shown while another window is active";

    const QImage withGrid = LineImage(4);
    list->SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    QCoreApplication::processEvents();
    EXPECT_NE(LineImage(4), withGrid) << "grid lines";
}

} // namespace
