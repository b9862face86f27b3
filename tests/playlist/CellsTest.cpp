// The texts of a play-list line's cells.
#include "platform/dao/OleDateTime.h"
#include "platform/dao/OleVariant.h"
#include "platform/listctrl/ListRows.h"
#include "playlist/LineFilter.h"
#include "playlist/PlayListCells.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

using namespace playlist;

TEST(PlayListCells, SizeInMegabytesWithTwoDecimals) {
    EXPECT_EQ(SizeText(1048576), "1.00");
    EXPECT_EQ(SizeText(1572864), "1.50");
    EXPECT_EQ(SizeText(0), "0.00");
    EXPECT_EQ(SizeText(5242), "0.00");
    EXPECT_EQ(SizeText(5243), "0.01"); // 0.005000305...
    EXPECT_EQ(SizeText(10 * 1048576 + 1048576 / 4), "10.25");
}

TEST(PlayListCells, SizesOfTwoGigabytesAndMoreShowTheirTrueSize) {
    EXPECT_EQ(SizeText(qint64(2147483647)), "2048.00");
    EXPECT_EQ(SizeText(qint64(2147483648)), "2048.00");
    EXPECT_EQ(SizeText(qint64(3) << 30), "3072.00");
    EXPECT_EQ(SizeText(qint64(5) << 40), "5242880.00");
    EXPECT_EQ(SizeCell(COleVariant(qint64(4) << 30)), "4096.00");
}

// Sizes are written without a floating-point conversion: the same texts as
// printf's "%.2f", halves that fall exactly between two hundredths included.
TEST(PlayListCells, SizeTextsAreThoseOfPrintf) {
    std::vector<qint64> sizes{131072,
                              393216,
                              655360,
                              1179648,
                              5243,
                              5242,
                              -1,
                              -5243,
                              (qint64(1) << 53) / 100,
                              (qint64(1) << 53) / 100 + 1,
                              qint64(9) << 60};
    quint64 x = 88172645463325252ull;
    for (int i = 0; i < 20000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        sizes.push_back(qint64(x >> (i % 40 + 20)));
        sizes.push_back(qint64(131072) * (i % 64) + (i % 3) - 1);
    }
    char expected[64];
    for (const qint64 bytes : sizes) {
        std::snprintf(expected, sizeof expected, "%.2f", double(bytes) / 1048576.0);
        ASSERT_EQ(SizeText(bytes), QLatin1String(expected)) << bytes;
    }
}

TEST(PlayListCells, CreatedAsDayMonthYearHourMinute) {
    EXPECT_EQ(CreatedText(COleDateTime(2005, 12, 6, 14, 3, 0)), "06.12.05 14:03");
    EXPECT_EQ(CreatedText(COleDateTime(1999, 1, 31, 0, 0, 59)), "31.01.99 00:00");
    EXPECT_EQ(CreatedText(COleDateTime(2100, 7, 4, 23, 59, 0)), "04.07.00 23:59");
    EXPECT_EQ(CreatedText(COleDateTime::Invalid()), "Invalid DateTime");
}

TEST(PlayListCells, CreatedFromFieldValues) {
    EXPECT_EQ(CreatedCell(COleVariant(COleDateTime(2005, 12, 6, 14, 3, 0))), "06.12.05 14:03");
    // Text that is a date is converted; anything else is no date.
    EXPECT_EQ(CreatedCell(COleVariant(QStringLiteral("2004-01-02 08:09:10"))), "02.01.04 08:09");
    EXPECT_EQ(CreatedCell(COleVariant::MakeNull()), "Invalid DateTime");
    EXPECT_EQ(CreatedCell(COleVariant(QStringLiteral("yesterday"))), "Invalid DateTime");
    EXPECT_EQ(CreatedCell(COleVariant()), "Invalid DateTime");
}

TEST(PlayListCells, KeyAndTextsAndNulls) {
    EXPECT_EQ(KeyText(42), "42");
    EXPECT_EQ(KeyCell(COleVariant(7)), "7");
    EXPECT_EQ(TextCell(COleVariant(QStringLiteral("clip.avi"))), "clip.avi");
    EXPECT_EQ(TextCell(COleVariant::MakeNull()), "");
    EXPECT_EQ(SizeCell(COleVariant::MakeNull()), "");
    EXPECT_EQ(KeyCell(COleVariant::MakeNull()), "");
}

TEST(PlayListCells, LinePathIsFolderSeparatorNameWhole) {
    EXPECT_EQ(LinePath(u"/home/me/music", u"song.mp3"), "/home/me/music/song.mp3");
    EXPECT_EQ(LinePath(u"", u"root.avi"), "/root.avi");
    const QString deep = QStringLiteral("/d") + QString(400, QLatin1Char('x'));
    const QString name = QString(200, QLatin1Char('n')) + QStringLiteral(".avi");
    const QString path = LinePath(deep, name);
    EXPECT_EQ(path.size(), deep.size() + 1 + name.size());
    EXPECT_TRUE(path.endsWith(name));
    EXPECT_EQ(LinePath(u"/mnt/ü ß", u"日本.ogg"), QStringLiteral("/mnt/ü ß/日本.ogg"));
}

// The filter box's match: in the name or the folder, ignoring case, whichever way
// the texts are stored (one byte a character, or UTF-16).
TEST(PlayListFilter, NameOrFolderContainsTheTypedTextIgnoringCase) {
    CCellTexts texts;
    const auto cell = [&](const QString& text) { return texts.View(texts.Store(text, 0)); };
    EXPECT_TRUE(LineFilter(u"").Contains(cell(QString())));
    EXPECT_TRUE(LineFilter(u"harb").Contains(cell(QStringLiteral("02 - Blue HARBOUR.mp3"))));
    EXPECT_TRUE(LineFilter(u"ÉTÉ").Contains(cell(QStringLiteral("été 1999.ogg"))))
        << "Latin-1 letters";
    EXPECT_TRUE(LineFilter(u"µs").Contains(cell(QStringLiteral("10 µS.wav"))))
        << "µ folds beyond Latin-1";
    EXPECT_TRUE(LineFilter(u"ДОМ").Contains(cell(QStringLiteral("мой дом.avi")))) << "UTF-16 text";
    EXPECT_TRUE(LineFilter(u"mp3").Contains(cell(QStringLiteral(".MP3"))));
    EXPECT_FALSE(LineFilter(u"mp4").Contains(cell(QStringLiteral("song.mp3"))));
    EXPECT_FALSE(LineFilter(u"song.mp3x").Contains(cell(QStringLiteral("song.mp3"))));
    EXPECT_FALSE(LineFilter(u"été").Contains(cell(QStringLiteral("ete.ogg"))));

    CListRows rows;
    for (int c = 1; c < ColumnCount; ++c)
        rows.InsertCell(c);
    const auto add = [&](const QString& name, const QString& folder) {
        const int line = rows.Insert(rows.Count(), name, 0);
        rows.SetText(line, ColDirectory, folder);
    };
    add(QStringLiteral("a.mp3"), QStringLiteral("/music/Jazz"));
    add(QStringLiteral("b.mp3"),
        QStringLiteral("/music/Jazz")); // the folder stored once, looked at once
    add(QStringLiteral("jazz.ogg"), QStringLiteral("/other"));
    add(QStringLiteral("c.mp3"), QStringLiteral("/music/rock"));
    LineFilter jazz(u"JAZZ");
    ASSERT_TRUE(rows.Filter([&](const CListRows::LineView& line) { return jazz.Keeps(line); }));
    ASSERT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Text(2, ColName), u"jazz.ogg");
}
