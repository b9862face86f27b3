// The catalogue's part of the import on a real catalogue file: one record per
// new file, with its values whole, and none for a file catalogued already.
#include "ImportFixtures.h"
#include "catalogue/FileFacts.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

using namespace importtest;

namespace {

// The stored date as the file system gives the creation time, to the second.
QString expectedDate(const QString& path) {
    const auto status = lumarest::catalogue::ReadFileStatus(path);
    if (!status)
        return {};
    return QDateTime::fromSecsSinceEpoch(status->created)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

class AddFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_media.isValid());
        m_folder = m_media.path();
    }
    CDao_PlayList& catalogue() { return m_bare.catalogue; }
    std::vector<Row> rows() { return readRows(m_bare.handle()); }

    BareCatalogue m_bare;
    QTemporaryDir m_media;
    QString m_folder;
};

} // namespace

TEST_F(AddFile, StoresNameFolderEndingSizeAndDate) {
    const QString path = makeFile(m_folder, QStringLiteral("song.mp3"), QByteArray(4321, 'x'));
    ASSERT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("song.mp3")));
    const auto all = rows();
    ASSERT_EQ(all.size(), 1u);
    const Row& row = all.front();
    EXPECT_GT(row.id, 0);
    EXPECT_EQ(row.name, QStringLiteral("song.mp3"));
    EXPECT_EQ(row.directory, m_folder);
    EXPECT_EQ(row.extension, QStringLiteral("mp3"));
    EXPECT_EQ(row.size, 4321);
    ASSERT_TRUE(row.date);
    EXPECT_EQ(*row.date, expectedDate(path));
    // The date keeps its century: it is this century's, not one a pivot chose.
    EXPECT_TRUE(row.date->startsWith(QString::number(QDate::currentDate().year())))
        << row.date->toStdString();
}

TEST_F(AddFile, SecondAddOfTheSameFileAddsNothing) {
    makeFile(m_folder, QStringLiteral("a.mp3"));
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("a.mp3")));
    EXPECT_FALSE(catalogue().AddFile(m_folder, QStringLiteral("a.mp3")));
    EXPECT_EQ(countRows(m_bare.handle()), 1);
    // The same name in another folder is another file.
    ASSERT_TRUE(QDir(m_folder).mkdir(QStringLiteral("sub")));
    makeFile(m_folder + QStringLiteral("/sub"), QStringLiteral("a.mp3"));
    EXPECT_TRUE(catalogue().AddFile(m_folder + QStringLiteral("/sub"), QStringLiteral("a.mp3")));
    EXPECT_EQ(countRows(m_bare.handle()), 2);
}

TEST_F(AddFile, NamesDifferingOnlyInCaseAreTwoFiles) {
    makeFile(m_folder, QStringLiteral("a.mp3"), "lower");
    makeFile(m_folder, QStringLiteral("A.mp3"), "UPPER!");
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("a.mp3")));
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("A.mp3")));
    const auto all = rows();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(findRow(all, m_folder, QStringLiteral("a.mp3"))->size, 5);
    EXPECT_EQ(findRow(all, m_folder, QStringLiteral("A.mp3"))->size, 6);
}

TEST_F(AddFile, QuotesInNamesAndFoldersAreCataloguedLikeAnyOtherCharacter) {
    const QString folder = m_folder + QStringLiteral("/Rock 'n' Roll \"Live\"");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList names = {QStringLiteral("it's.mp3"), QStringLiteral("x' OR '1'='1.mp3"),
                               QStringLiteral("a\"b.mp3"),
                               QStringLiteral("'; DROP TABLE FILES; --.mp3")};
    for (const QString& name : names) {
        makeFile(folder, name, name.toUtf8());
        EXPECT_TRUE(catalogue().AddFile(folder, name)) << name.toStdString();
    }
    for (const QString& name : names)
        EXPECT_FALSE(catalogue().AddFile(folder, name)) << name.toStdString();
    const auto all = rows();
    ASSERT_EQ(all.size(), 4u);
    for (const QString& name : names) {
        const auto row = findRow(all, folder, name);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->size, name.toUtf8().size());
    }
}

TEST_F(AddFile, UnicodeAndLongNamesAndDeepFoldersAreStoredWhole) {
    QString folder = m_folder;
    while (folder.size() <= 300)
        folder +=
            QStringLiteral("/\u00E9tag\u00E8re-\u97F3\u697D-") + QString(40, QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString longName = QString(251, QLatin1Char('n')) + QStringLiteral(".mp3");
    ASSERT_EQ(QFile::encodeName(longName).size(), 255);
    const QString unicodeName = QStringLiteral("Caf\u00E9 \u266B \U0001F3B5.\U0001F3B5ac");
    makeFile(folder, longName, "12345");
    makeFile(folder, unicodeName, "123");
    EXPECT_TRUE(catalogue().AddFile(folder, longName));
    EXPECT_TRUE(catalogue().AddFile(folder, unicodeName));
    EXPECT_FALSE(catalogue().AddFile(folder, longName));

    const auto all = rows();
    ASSERT_EQ(all.size(), 2u);
    const auto longRow = findRow(all, folder, longName);
    ASSERT_TRUE(longRow);
    EXPECT_GT(longRow->directory.size(), 260);
    EXPECT_EQ(longRow->size, 5); // the whole path leads to the file
    EXPECT_TRUE(QFileInfo::exists(longRow->directory + QLatin1Char('/') + longRow->name));
    const auto unicodeRow = findRow(all, folder, unicodeName);
    ASSERT_TRUE(unicodeRow);
    EXPECT_EQ(unicodeRow->extension, QStringLiteral("\U0001F3B5ac"));
    EXPECT_EQ(unicodeRow->size, 3);
}

TEST_F(AddFile, SizesOver4GiBKeepAllBits) {
    const QString path = makeFile(m_folder, QStringLiteral("movie.mkv"), {});
    constexpr qint64 kLength = (qint64(6) << 30) + 7;
    ASSERT_TRUE(QFile::resize(path, kLength)); // sparse
    ASSERT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("movie.mkv")));
    EXPECT_EQ(rows().front().size, kLength);
    // And through the data-access layer as the play list reads it.
    CDaoRecordset rs(catalogue().m_pCDaoDatabase.get());
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"), 0);
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Size")).GetLong(), kLength);
}

TEST_F(AddFile, EndingIsTheLastThreeCharacters) {
    for (const char* name : {"clip.mpeg", "readme", "ab"})
        makeFile(m_folder, QString::fromLatin1(name));
    for (const char* name : {"clip.mpeg", "readme", "ab"})
        ASSERT_TRUE(catalogue().AddFile(m_folder, QString::fromLatin1(name)));
    const auto all = rows();
    EXPECT_EQ(findRow(all, m_folder, QStringLiteral("clip.mpeg"))->extension,
              QStringLiteral("peg"));
    EXPECT_EQ(findRow(all, m_folder, QStringLiteral("readme"))->extension, QStringLiteral("dme"));
    EXPECT_EQ(findRow(all, m_folder, QStringLiteral("ab"))->extension, QStringLiteral("ab"));
}

TEST_F(AddFile, FileThatCannotBeOpenedGetsARecordWithoutSizeAndDate) {
    // Listed, then gone before its status could be read.
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("vanished.mp3")));
    const auto row = findRow(rows(), m_folder, QStringLiteral("vanished.mp3"));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->extension, QStringLiteral("mp3"));
    EXPECT_FALSE(row->size);
    EXPECT_FALSE(row->date);
}

TEST_F(AddFile, FileWithoutReadAccessGetsARecordWithoutSizeAndDate) {
    const QString path = makeFile(m_folder, QStringLiteral("locked.mp3"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    if (access(QFile::encodeName(path).constData(), R_OK) == 0)
        GTEST_SKIP() << "running with the right to read any file (root): mode 000 does not lock it";
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("locked.mp3")));
    const auto row = findRow(rows(), m_folder, QStringLiteral("locked.mp3"));
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->size);
    EXPECT_FALSE(row->date);
}

TEST_F(AddFile, FileAtTheRootHasTheEmptyFolder) {
    // Any plain file that happens to be at the root; nothing is written there.
    const QStringList atRoot = lumarest::catalogue::ListPlainFiles(QString(), u"");
    if (atRoot.isEmpty())
        GTEST_SKIP() << "no plain file at the root folder of this machine";
    const QString name = atRoot.front();
    ASSERT_TRUE(catalogue().AddFile(QString(), name));
    const auto row = findRow(rows(), QString(), name);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->directory, QString());
    const QFileInfo info(QStringLiteral("/") + name);
    if (info.isReadable()) {
        EXPECT_EQ(row->size, info.size());
    }
    EXPECT_FALSE(catalogue().AddFile(QString(), name));
}

TEST_F(AddFile, EngineErrorIsPassedOnAndLeavesNoRecord) {
    makeFile(m_folder, QStringLiteral("a.mp3"));
    makeFile(m_folder, QStringLiteral("refused.mp3"));
    catalogue().m_pCDaoDatabase->Execute(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON FILES WHEN NEW.Name = 'refused.mp3' "
                       "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END"));
    EXPECT_TRUE(catalogue().AddFile(m_folder, QStringLiteral("a.mp3")));
    EXPECT_THROW(catalogue().AddFile(m_folder, QStringLiteral("refused.mp3")), CDaoException);
    const auto all = rows();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all.front().name, QStringLiteral("a.mp3"));
}

TEST_F(AddFile, ClosedCatalogueFails) {
    makeFile(m_folder, QStringLiteral("a.mp3"));
    catalogue().m_pCDaoDatabase->Close();
    EXPECT_THROW(catalogue().AddFile(m_folder, QStringLiteral("a.mp3")), CDaoException);
}

TEST(ListFiles, AppendsAndCountsTheMatchingNames) {
    BareCatalogue bare;
    QTemporaryDir media;
    for (const char* name : {"a.mp3", "B.MP3", "c.wav"})
        makeFile(media.path(), QString::fromLatin1(name));
    QStringList names{QStringLiteral("kept")};
    EXPECT_EQ(bare.catalogue.ListFiles(media.path(), names, QStringLiteral("mp3")), 2);
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names.front(), QStringLiteral("kept"));
    EXPECT_EQ(bare.catalogue.m_strBuffer, media.path() + QStringLiteral("/*.mp3"));
    EXPECT_EQ(bare.catalogue.ListFiles(media.path(), names, QString()), 3);
    EXPECT_EQ(bare.catalogue.m_strBuffer, media.path() + QStringLiteral("/*.*"));
    EXPECT_EQ(bare.catalogue.ListFiles(media.path() + QStringLiteral("/none"), names, QString()),
              0);
    EXPECT_EQ(names.size(), 6);
}
