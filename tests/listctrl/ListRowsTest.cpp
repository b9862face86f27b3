// The line store of the list control (texts, data, state, lazy erasing,
// sorting) and its selection rules, without any widget.
#include "platform/listctrl/ListRows.h"
#include "platform/listctrl/ListSelection.h"

#include <QString>
#include <QStringList>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

// strcmp of the UTF-8 forms, the order the list's texts compare in.
int CodePointOrder(const QString& a, const QString& b) {
    const int r = std::strcmp(a.toUtf8().constData(), b.toUtf8().constData());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

TEST(CellTexts, KeepsLatin1WideLongAndRepeatedTextsAndOrdersByCodePoint) {
    CCellTexts texts;
    const QString longText(700000, QChar(u'\u00e9')); // longer than a page
    const QString wide = QString::fromUtf8("\xc3\x9c"
                                           "berall \xF0\x9F\x8E\xB5 caf\xc3\xa9");
    std::vector<std::pair<CCellTexts::Ref, QString>> stored;
    for (int i = 0; i < 60000; ++i) { // several pages
        const QString text = QStringLiteral("clip_%1.avi").arg(i);
        stored.emplace_back(texts.Store(text, 0), text);
        stored.emplace_back(texts.Store(u"/home/user/Videos", 4),
                            QStringLiteral("/home/user/Videos"));
        stored.emplace_back(texts.Store(wide, 1), wide);
    }
    stored.emplace_back(texts.Store(longText, 0), longText);
    stored.emplace_back(texts.Store(QString(), 2), QString());
    stored.emplace_back(texts.Store(QString(80, QChar(u'x')), 2), QString(80, QChar(u'x')));
    for (const auto& [ref, text] : stored)
        ASSERT_EQ(texts.View(ref).ToString(), text);
    EXPECT_EQ(stored[1].first, stored[4].first) << "a repeated text is stored once";
    EXPECT_FALSE(texts.View(stored[0].first).wide);
    EXPECT_TRUE(texts.View(stored[2].first).wide);

    // Latin-1, UTF-16 and mixed pairs compare as the texts' code points do.
    const QStringList samples{"",          "a",
                              "ab",        "Zebra",
                              "\u00e9",    "z",
                              "\uFFFD",    "\uE000",
                              "\uD7FF",    QString::fromUcs4(U"\U0001F600"),
                              "caf\u00e9", "caf\u00e9\u0101"};
    for (const QString& a : samples)
        for (const QString& b : samples) {
            const CCellView va = texts.View(texts.Store(a, 5));
            const CCellView vb = texts.View(texts.Store(b, 6));
            const int expected = CodePointOrder(a, b);
            EXPECT_EQ(CompareCellViews(va, vb), expected)
                << a.toStdString() << " / " << b.toStdString();
        }
}

CListRows MakeRows(int count) {
    CListRows rows;
    rows.InsertCell(1);
    for (int i = 0; i < count; ++i) {
        rows.Insert(i, QStringLiteral("line%1").arg(i), i);
        rows.SetText(i, 1, QString::number(i));
    }
    return rows;
}

TEST(ListRows, InsertAppendsPastTheEndAndShiftsInTheMiddle) {
    CListRows rows = MakeRows(3);
    EXPECT_EQ(rows.Insert(10, u"tail", 99), 3);
    EXPECT_EQ(rows.Insert(1, u"middle", 42), 1);
    EXPECT_EQ(rows.Insert(-1, u"bad", 0), -1);
    ASSERT_EQ(rows.Count(), 5);
    const std::vector<QString> expected{"line0", "middle", "line1", "line2", "tail"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rows.Text(i, 0), expected[size_t(i)]) << i;
    EXPECT_EQ(rows.Text(2, 1), u"1");
    EXPECT_EQ(rows.Data(1), 42);
    EXPECT_TRUE(rows.Text(5, 0).isEmpty());
    EXPECT_TRUE(rows.Text(0, 2).isEmpty());
    EXPECT_FALSE(rows.SetText(0, 2, u"no such cell"));
}

TEST(ListRows, InsertCellMovesLaterCellsRight) {
    CListRows rows = MakeRows(2);
    ASSERT_TRUE(rows.InsertCell(1));
    EXPECT_EQ(rows.CellsPerRow(), 3);
    EXPECT_EQ(rows.Text(1, 0), u"line1");
    EXPECT_TRUE(rows.Text(1, 1).isEmpty());
    EXPECT_EQ(rows.Text(1, 2), u"1");
}

// A plain reference the store must agree with, whatever mix of operations:
// every line, the hidden ones in their place.
struct RefLine {
    QString text;
    QString sub;
    LPARAM data;
    bool selected;
    bool hidden = false;
};

// Where the shown line `at` lies among all of them; past the end for the count.
size_t RefIndex(const std::vector<RefLine>& ref, int at) {
    for (size_t i = 0; i < ref.size(); ++i)
        if (!ref[i].hidden && at-- == 0)
            return i;
    return ref.size();
}

void ExpectSame(const CListRows& rows, const std::vector<RefLine>& all) {
    std::vector<RefLine> ref;
    for (const RefLine& line : all)
        if (!line.hidden)
            ref.push_back(line);
    ASSERT_EQ(rows.Count(), int(ref.size()));
    ASSERT_EQ(rows.HiddenCount(), int(all.size() - ref.size()));
    std::vector<int> selected;
    for (int i = 0; i < rows.Count(); ++i) {
        ASSERT_EQ(rows.Text(i, 0), ref[size_t(i)].text) << i;
        ASSERT_EQ(rows.Text(i, 1), ref[size_t(i)].sub) << i;
        ASSERT_EQ(rows.Data(i), ref[size_t(i)].data) << i;
        if (ref[size_t(i)].selected)
            selected.push_back(i);
    }
    std::vector<int> walked;
    for (int i = rows.NextSelected(-1); i >= 0; i = rows.NextSelected(i))
        walked.push_back(i);
    ASSERT_EQ(walked, selected);
    ASSERT_EQ(rows.SelectedCount(), int(selected.size()));
}

// Lines hidden by a filter and shown again among inserts, erases (dropped in
// passes), selections and new texts.
TEST(ListRows, RandomOperationsWithAndWithoutAFilterAgreeWithAPlainVector) {
    std::mt19937 rng(12345);
    CListRows rows;
    rows.InsertCell(1);
    std::vector<RefLine> ref;
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    for (int step = 0; step < 60000; ++step) {
        const int op = pick(100);
        const int n = rows.Count();
        if (op < 40 || n == 0) {
            const int at = op < 30 ? n : pick(n + 1);
            const QString text = QStringLiteral("t%1").arg(step);
            ASSERT_EQ(rows.Insert(at, text, step), at);
            ref.insert(ref.begin() + std::ptrdiff_t(RefIndex(ref, at)), {text, {}, step, false});
        } else if (op < 65) {
            // Mostly the first selected line, as deleting a selection does.
            int at = rows.NextSelected(-1);
            if (at < 0 || op < 50)
                at = pick(n);
            ASSERT_TRUE(rows.Erase(at));
            ref.erase(ref.begin() + std::ptrdiff_t(RefIndex(ref, at)));
        } else if (op < 80) {
            const int at = pick(n);
            const bool select = op < 75;
            rows.SetState(at, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
            ref[RefIndex(ref, at)].selected = select;
        } else if (op < 88) {
            const int at = pick(n);
            const QString sub = QString(pick(40), QChar(u'a' + pick(26)));
            ASSERT_TRUE(rows.SetText(at, 1, sub));
            ref[RefIndex(ref, at)].sub = sub;
        } else if (op < 93) {
            const int at = pick(n);
            rows.SetData(at, -step);
            ref[RefIndex(ref, at)].data = -step;
        } else if (op < 95) {
            rows.Compact();
        } else if (op < 97) {
            // Keeps lines whose sub-text holds a letter, or whose text ends in a digit.
            const QChar letter(u'a' + pick(26));
            const QChar digit(u'0' + pick(10));
            const auto keep = [&](const QString& text, const QString& sub) {
                return sub.contains(letter) || text.endsWith(digit);
            };
            ASSERT_TRUE(rows.Filter([&](const CListRows::LineView& line) {
                return keep(line.Cell(0).ToString(), line.Cell(1).ToString());
            }));
            for (RefLine& line : ref) {
                line.hidden = !keep(line.text, line.sub);
                line.selected = line.selected && !line.hidden;
            }
        } else if (op < 98) {
            ASSERT_TRUE(rows.ShowAll());
            for (RefLine& line : ref)
                line.hidden = false;
        } else {
            ASSERT_EQ(rows.NextSelected(-1) >= 0, rows.SelectedCount() > 0);
        }
        if (step % 997 == 0)
            ExpectSame(rows, ref);
    }
    ExpectSame(rows, ref);
}

TEST(ListRows, HiddenLinesKeepTheirPlaceFocusAndSortWaitForThem) {
    CListRows rows = MakeRows(6);
    rows.SetState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    rows.SetState(4, LVIS_SELECTED, LVIS_SELECTED);
    const auto odd = [](const CListRows::LineView& line) {
        return line.Cell(1).ToString().toInt() % 2 == 1;
    };
    ASSERT_TRUE(rows.Filter(odd));
    ASSERT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Text(0, 0), u"line1");
    EXPECT_EQ(rows.Text(2, 0), u"line5");
    EXPECT_EQ(rows.Focused(), 0);
    EXPECT_EQ(rows.SelectedCount(), 1) << "the hidden line 4 lost its selection";
    EXPECT_FALSE(rows.SortByData([](LPARAM a, LPARAM b) { return a > b; }));
    EXPECT_FALSE(rows.Arrange({2, 1, 0}));
    EXPECT_FALSE(CListRows().ShareLinesOf(rows));
    EXPECT_EQ(rows.Insert(1, u"new", 9), 1);
    ASSERT_TRUE(rows.ShowAll());
    const std::vector<QString> expected{"line0", "line1", "line2", "new",
                                        "line3", "line4", "line5"};
    ASSERT_EQ(rows.Count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(rows.Text(i, 0), expected[size_t(i)]) << i;
    EXPECT_EQ(rows.Focused(), 1);
    EXPECT_EQ(rows.NextSelected(-1), 1);
    EXPECT_EQ(rows.NextSelected(1), -1);
}

TEST(ListRows, DeletingTheSelectionFromTheTopLeavesTheOthersInOrder) {
    CListRows rows = MakeRows(20000);
    for (int i = 5000; i < 15000; ++i)
        rows.SetState(i, LVIS_SELECTED, LVIS_SELECTED);
    int erased = 0;
    for (int i = rows.NextSelected(-1); i >= 0; i = rows.NextSelected(-1)) {
        ASSERT_EQ(rows.Text(i, 1), QString::number(5000 + erased));
        ASSERT_TRUE(rows.Erase(i));
        ++erased;
    }
    EXPECT_EQ(erased, 10000);
    ASSERT_EQ(rows.Count(), 10000);
    EXPECT_EQ(rows.Text(4999, 0), u"line4999");
    EXPECT_EQ(rows.Text(5000, 0), u"line15000");
    EXPECT_EQ(rows.Text(9999, 0), u"line19999");
}

TEST(ListRows, FocusIsOneLineAndFollowsItsLine) {
    CListRows rows = MakeRows(6);
    rows.SetState(2, LVIS_FOCUSED, LVIS_FOCUSED);
    rows.SetState(4, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(rows.Focused(), 4);
    EXPECT_EQ(rows.State(2), 0u);
    rows.Erase(1);
    EXPECT_EQ(rows.Focused(), 3);
    rows.Insert(0, u"first", 7);
    EXPECT_EQ(rows.Focused(), 4);
    rows.Erase(4);
    EXPECT_EQ(rows.Focused(), -1);
}

TEST(ListRows, SortIsStableMovesStateAndRefusesChangesMeanwhile) {
    CListRows rows;
    const std::vector<int> keys{3, 1, 2, 1, 3, 2};
    for (int i = 0; i < int(keys.size()); ++i)
        rows.Insert(i, QStringLiteral("k%1_%2").arg(keys[size_t(i)]).arg(i), i);
    rows.SetState(4, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    int refused = 0;
    ASSERT_TRUE(rows.SortByData([&](LPARAM a, LPARAM b) {
        refused += !rows.Erase(0) && !rows.SetText(0, 0, u"x") && rows.Insert(0, u"y", 0) < 0;
        return rows.Text(int(a), 0).mid(1, 1) < rows.Text(int(b), 0).mid(1, 1);
    }));
    EXPECT_GT(refused, 0);
    const std::vector<QString> expected{"k1_1", "k1_3", "k2_2", "k2_5", "k3_0", "k3_4"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rows.Text(i, 0), expected[size_t(i)]);
    EXPECT_EQ(rows.NextSelected(-1), 5);
    EXPECT_EQ(rows.Focused(), 5);
    EXPECT_EQ(rows.Data(5), 4);
}

struct SelectionFixture : ::testing::Test {
    CListRows rows = MakeRows(10);
    std::vector<int> notices;
    CListSelection selection{rows, [this](int item) { notices.push_back(item); }};

    std::vector<int> Selected() const {
        std::vector<int> lines;
        for (int i = rows.NextSelected(-1); i >= 0; i = rows.NextSelected(i))
            lines.push_back(i);
        return lines;
    }
};

TEST_F(SelectionFixture, SelectOnlyReportsTheLosersFirstAndTheNewLineLast) {
    selection.SelectOnly(1);
    notices.clear();
    selection.SelectOnly(3);
    EXPECT_EQ(notices, (std::vector<int>{1, 3}));
    EXPECT_EQ(Selected(), std::vector<int>{3});
    EXPECT_EQ(rows.Focused(), 3);
    notices.clear();
    selection.SelectOnly(3);
    EXPECT_TRUE(notices.empty()) << "nothing changed, nothing reported";
}

TEST_F(SelectionFixture, ToggleAndRangeKeepTheFocusedLineLast) {
    selection.SelectOnly(2);
    selection.Toggle(5);
    EXPECT_EQ(Selected(), (std::vector<int>{2, 5}));
    notices.clear();
    selection.Toggle(2);
    EXPECT_EQ(notices, (std::vector<int>{5, 2}));
    EXPECT_EQ(Selected(), std::vector<int>{5});
    EXPECT_EQ(rows.Focused(), 2);
    notices.clear();
    selection.SelectRange(7, 4, false);
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(rows.Focused(), 4);
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back(), 4);
    selection.SelectRange(9, 9, true);
    EXPECT_EQ(Selected(), (std::vector<int>{4, 5, 6, 7, 9}));
}

TEST_F(SelectionFixture, SetStateOnAllLinesAndFocusMoves) {
    selection.SetState(-1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(rows.SelectedCount(), 10);
    EXPECT_EQ(notices.size(), 10u);
    notices.clear();
    selection.SetState(-1, 0, LVIS_SELECTED);
    EXPECT_EQ(rows.SelectedCount(), 0);
    EXPECT_EQ(notices.size(), 10u);
    selection.SetState(6, LVIS_FOCUSED, LVIS_FOCUSED);
    notices.clear();
    selection.MoveFocus(8);
    EXPECT_EQ(notices, (std::vector<int>{6, 8}));
    EXPECT_EQ(rows.Focused(), 8);
    EXPECT_FALSE(selection.SetState(10, LVIS_SELECTED, LVIS_SELECTED));
}

} // namespace
