// The texts of a play-list line's cells.
#include "platform/dao/OleDateTime.h"
#include "platform/dao/OleVariant.h"
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
