// The play list's orders: texts by code point, sizes by their number, both ways.
#include "playlist/PlayListOrder.h"
#include "playlist/PlayListSort.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <numeric>

using namespace playlist;

namespace {
// The texts in the order the list sorts them into.
QStringList Sorted(const QStringList& texts, bool sizeColumn, bool sortFlag) {
    std::vector<CCellView> cells;
    for (const QString& text : texts)
        cells.push_back(CCellView::Of(text));
    QStringList out;
    for (uint32_t line : SortedLines(cells, sizeColumn, sortFlag))
        out << texts[line];
    return out;
}

int CodePointOrder(QStringView a, QStringView b) {
    return CompareCellViews(CCellView::Of(a), CCellView::Of(b));
}

// The sort's rule, one comparison of two lines at a time: what the keyed sort must give.
int CompareLines(const QStringList& texts, uint32_t a, uint32_t b, bool sizeColumn, bool flag) {
    int r = 0;
    if (sizeColumn) {
        const double x = AtoF(texts[a]);
        const double y = AtoF(texts[b]);
        r = x < y ? -1 : (y < x ? 1 : 0);
    } else {
        r = CodePointOrder(texts[b], texts[a]);
    }
    return flag ? r : -r;
}
} // namespace

TEST(PlayListSort, AtofReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(AtoF(u"1.50"), 1.5);
    EXPECT_DOUBLE_EQ(AtoF(u"  2048.25"), 2048.25);
    EXPECT_DOUBLE_EQ(AtoF(u"-3.5x"), -3.5);
    EXPECT_DOUBLE_EQ(AtoF(u"+7"), 7.0);
    EXPECT_DOUBLE_EQ(AtoF(u"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(AtoF(u"12.5 MB"), 12.5);
    EXPECT_DOUBLE_EQ(AtoF(u""), 0.0);
    EXPECT_DOUBLE_EQ(AtoF(u"abc"), 0.0);
    EXPECT_DOUBLE_EQ(AtoF(u"."), 0.0);
    EXPECT_DOUBLE_EQ(AtoF(u"nan"), 0.0);
}

TEST(PlayListSort, CodePointOrderIsUtf8ByteOrder) {
    EXPECT_LT(CodePointOrder(u"Zebra", u"apple"), 0); // upper case first
    EXPECT_LT(CodePointOrder(u"ab", u"abc"), 0);
    EXPECT_EQ(CodePointOrder(u"same", u"same"), 0);
    EXPECT_GT(CodePointOrder(u"é", u"z"), 0);
    // U+1F600 is above U+FFFD in UTF-8 bytes, though its first UTF-16 unit is lower.
    EXPECT_GT(CodePointOrder(QString::fromUcs4(U"\U0001F600"), u"\uFFFD"), 0);
    EXPECT_LT(CodePointOrder(u"\uFFFD", QString::fromUcs4(U"\U0001F600")), 0);
    EXPECT_GT(CodePointOrder(QString::fromUcs4(U"\U0001F600"), u"\uE000"), 0);
    EXPECT_LT(CodePointOrder(u"\uD7FF", QString::fromUcs4(U"\U00010000")), 0);
}

TEST(PlayListSort, FlagClearSortsTextsAscendingAndSizesLargestFirst) {
    const QStringList names{"banana", "Zebra", "apple", "Apple", "cherry"};
    EXPECT_EQ(Sorted(names, false, false),
              (QStringList{"Apple", "Zebra", "apple", "banana", "cherry"}));
    EXPECT_EQ(Sorted(names, false, true),
              (QStringList{"cherry", "banana", "apple", "Zebra", "Apple"}));
    const QStringList sizes{"9.50", "10.00", "0.00", "2048.00", "1.50"};
    EXPECT_EQ(Sorted(sizes, true, false),
              (QStringList{"2048.00", "10.00", "9.50", "1.50", "0.00"}));
    EXPECT_EQ(Sorted(sizes, true, true), (QStringList{"0.00", "1.50", "9.50", "10.00", "2048.00"}));
}

TEST(PlayListSort, DatesByDayFirstAndKeysAsText) {
    EXPECT_EQ(Sorted({"02.01.04 10:00", "01.12.05 09:00"}, false, false),
              (QStringList{"01.12.05 09:00", "02.01.04 10:00"}));
    EXPECT_EQ(Sorted({"9", "10", "100", "2"}, false, false), (QStringList{"10", "100", "2", "9"}));
}

TEST(PlayListSort, TextsSharingLongBeginningsOrCharactersAboveLatin1SortByCodePoint) {
    QStringList texts{"studio track 000010.mp3",
                      "studio track 000002.mp3",
                      "studio tr",
                      "studio track 000010.mp3x",
                      "\u00ff\u00ff\u00ff\u00ff\u00ff\u00ff\u00ff\u00ffb",
                      "\u00ff\u00ff\u00ff\u00ff\u00ff\u00ff\u00ff\u0100a",
                      "\u00fe",
                      "\u0100",
                      QString::fromUcs4(U"ab\U0001F600"),
                      "ab\uFFFD",
                      "ab\u00ff",
                      "",
                      "ab"};
    QStringList expected = texts;
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return std::strcmp(a.toUtf8().constData(), b.toUtf8().constData()) < 0;
    });
    EXPECT_EQ(Sorted(texts, false, false), expected); // ascending while the flag is clear
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(Sorted(texts, false, true), expected);
}

// The order found from keys is the comparison's own, ties and all: texts that
// share long beginnings, repeat, end inside one another, hold NUL or characters
// above Latin-1; sizes that tie, are negative, zero or no number.
TEST(PlayListSort, KeyedOrderIsTheComparisonsStableOrder) {
    QStringList texts;
    const QStringList stems{"/home/user/media/collection ",
                            "Live track ",
                            "studio track ",
                            "",
                            QString::fromUcs4(U"\u00ff\u00ff\U0001F600 "),
                            "ab\u0100"};
    for (int i = 0; i < 3000; ++i) {
        QString t = stems[i % stems.size()] + QString::number((i * 7919) % 211);
        if (i % 5 == 0)
            t += QChar(u'\0');
        if (i % 11 == 0)
            t.truncate(i % 9);
        texts << t;
    }
    texts << "-0"
          << "0"
          << "-1.5"
          << "1e3"
          << "x"
          << "2.50"
          << "2.5";
    std::vector<CCellView> latin1;
    std::vector<QByteArray> bytes;
    for (const QString& t : texts)
        bytes.push_back(t.toLatin1());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const bool narrow = texts[i].toLatin1() == bytes[size_t(i)] &&
                            QString::fromLatin1(bytes[size_t(i)]) == texts[i];
        latin1.push_back(narrow ? CCellView{bytes[size_t(i)].constData(),
                                            uint32_t(bytes[size_t(i)].size()), false}
                                : CCellView::Of(texts[i]));
    }
    for (const bool sizeColumn : {false, true}) {
        for (const bool flag : {false, true}) {
            // The same lines in the same order, ties included.
            std::vector<uint32_t> expected(size_t(texts.size()));
            std::iota(expected.begin(), expected.end(), 0u);
            std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
                return CompareLines(texts, a, b, sizeColumn, flag) < 0;
            });
            EXPECT_EQ(SortedLines(latin1, sizeColumn, flag), expected)
                << "size column " << sizeColumn << ", flag " << flag;
        }
    }
}
