// The file-system side of the import: which names a folder yields for a
// pattern, what a file's status gives, and the date text.
#include "catalogue/FileFacts.h"
#include "ImportFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumarest::catalogue;
using importtest::makeFile;

namespace {

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

// Sets the process's time zone for the life of the object.
class TimeZone {
public:
    explicit TimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~TimeZone() {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

} // namespace

TEST(FilePaths, JoinKeepsTheRootFolderEmpty) {
    EXPECT_EQ(JoinPath(QStringLiteral("/music"), QStringLiteral("a.mp3")),
              QStringLiteral("/music/a.mp3"));
    // A file at the root has the empty folder, and its path is "/name".
    EXPECT_EQ(JoinPath(QString(), QStringLiteral("a.mp3")), QStringLiteral("/a.mp3"));
    EXPECT_EQ(JoinPath(QStringLiteral("/"), QStringLiteral("a.mp3")), QStringLiteral("/a.mp3"));
    EXPECT_EQ(JoinPath(QStringLiteral("/music"), QStringLiteral("*.*")),
              QStringLiteral("/music/*.*"));
}

TEST(FilePaths, ExtensionIsTheLastThreeCharacters) {
    EXPECT_EQ(LastCharacters(QStringLiteral("clip.mpeg"), 3), QStringLiteral("peg"));
    EXPECT_EQ(LastCharacters(QStringLiteral("song.mp3"), 3), QStringLiteral("mp3"));
    EXPECT_EQ(LastCharacters(QStringLiteral("readme"), 3), QStringLiteral("dme"));
    EXPECT_EQ(LastCharacters(QStringLiteral("ab"), 3), QStringLiteral("ab"));
    EXPECT_EQ(LastCharacters(QString(), 3), QString());
    // A character outside the basic plane is one character and never cut in two.
    const QString name = QStringLiteral("tune.\U0001F3B5\U0001F3B6");
    EXPECT_EQ(LastCharacters(name, 3), QStringLiteral(".\U0001F3B5\U0001F3B6"));
    EXPECT_EQ(LastCharacters(name, 1), QStringLiteral("\U0001F3B6"));
}

TEST(FilePattern, MatchesTheExtensionWithoutRegardToCase) {
    const QString mp3 = QStringLiteral("mp3");
    EXPECT_TRUE(MatchesPattern(u"a.mp3", mp3));
    EXPECT_TRUE(MatchesPattern(u"B.MP3", mp3));
    EXPECT_TRUE(MatchesPattern(u"x.y.Mp3", mp3));
    EXPECT_TRUE(MatchesPattern(u".mp3", mp3));
    EXPECT_FALSE(MatchesPattern(u"amp3", mp3));
    EXPECT_FALSE(MatchesPattern(u"a.mp33", mp3));
    EXPECT_FALSE(MatchesPattern(u"a.wav", mp3));
    EXPECT_FALSE(MatchesPattern(u"mp3", mp3));
    EXPECT_TRUE(MatchesPattern(u"\u00C9T\u00C9.\u00C9t\u00E9", u"\u00E9T\u00C9"));
    // The extension is literal text, not a pattern of its own.
    EXPECT_FALSE(MatchesPattern(u"a.mp3", u"m?3"));
    EXPECT_TRUE(MatchesPattern(u"a.m?3", u"m?3"));
    // An empty extension is "*.*": every name, with or without a dot.
    EXPECT_TRUE(MatchesPattern(u"readme", u""));
    EXPECT_TRUE(MatchesPattern(u"a.mp3", u""));
}

class FolderListing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        m_dir = m_tmp.path();
        makeFile(m_dir, QStringLiteral("a.mp3"));
        makeFile(m_dir, QStringLiteral("B.MP3"));
        makeFile(m_dir, QStringLiteral("c.wav"));
        makeFile(m_dir, QStringLiteral("readme"));
        ASSERT_TRUE(QDir(m_dir).mkdir(QStringLiteral("d.mp3")));
        makeFile(m_dir + QStringLiteral("/d.mp3"), QStringLiteral("inner.mp3"));
    }

    QTemporaryDir m_tmp;
    QString m_dir;
};

TEST_F(FolderListing, SkipsFoldersAndOtherEndings) {
    EXPECT_EQ(sorted(ListPlainFiles(m_dir, u"mp3")),
              (QStringList{QStringLiteral("B.MP3"), QStringLiteral("a.mp3")}));
    EXPECT_EQ(ListPlainFiles(m_dir, u"wav"), QStringList{QStringLiteral("c.wav")});
    EXPECT_TRUE(ListPlainFiles(m_dir, u"ogg").isEmpty());
}

TEST_F(FolderListing, EmptyExtensionListsEveryPlainFile) {
    EXPECT_EQ(sorted(ListPlainFiles(m_dir, u"")),
              (QStringList{QStringLiteral("B.MP3"), QStringLiteral("a.mp3"),
                           QStringLiteral("c.wav"), QStringLiteral("readme")}));
}

TEST_F(FolderListing, FollowsLinksToFilesButNotToFoldersPipesOrNothing) {
    ASSERT_EQ(symlink("a.mp3", QFile::encodeName(m_dir + QStringLiteral("/link.mp3")).constData()),
              0);
    ASSERT_EQ(
        symlink("d.mp3", QFile::encodeName(m_dir + QStringLiteral("/dirlink.mp3")).constData()), 0);
    ASSERT_EQ(symlink("gone", QFile::encodeName(m_dir + QStringLiteral("/broken.mp3")).constData()),
              0);
    ASSERT_EQ(mkfifo(QFile::encodeName(m_dir + QStringLiteral("/pipe.mp3")).constData(), 0600), 0);
    EXPECT_EQ(sorted(ListPlainFiles(m_dir, u"mp3")),
              (QStringList{QStringLiteral("B.MP3"), QStringLiteral("a.mp3"),
                           QStringLiteral("link.mp3")}));
}

TEST_F(FolderListing, MissingFolderGivesNothing) {
    EXPECT_TRUE(ListPlainFiles(m_dir + QStringLiteral("/nowhere"), u"mp3").isEmpty());
    EXPECT_TRUE(ListPlainFiles(m_dir + QStringLiteral("/a.mp3"), u"").isEmpty());
}

TEST_F(FolderListing, KeepsQuotesUnicodeAndLongNamesWhole) {
    const QString quoted = QStringLiteral("it's \"live\".mp3");
    const QString unicode = QStringLiteral("\u00C5ngstr\u00F6m \u97F3\u697D \U0001F3B5.mp3");
    const QString longName = QString(251, QLatin1Char('n')) + QStringLiteral(".mp3"); // 255 bytes
    for (const QString& name : {quoted, unicode, longName})
        makeFile(m_dir, name);
    const QStringList names = ListPlainFiles(m_dir, u"mp3");
    EXPECT_TRUE(names.contains(quoted));
    EXPECT_TRUE(names.contains(unicode));
    EXPECT_TRUE(names.contains(longName));
    EXPECT_EQ(names.size(), 5);
}

TEST_F(FolderListing, LeavesOutNamesThatAreNoValidText) {
    // Bytes that are no UTF-8: such a name would come back as another name.
    const QByteArray raw = QFile::encodeName(m_dir) + "/bad\xff\xfe.mp3";
    const int fd = open(raw.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(sorted(ListPlainFiles(m_dir, u"mp3")),
              (QStringList{QStringLiteral("B.MP3"), QStringLiteral("a.mp3")}));
}

TEST(FolderListingRoot, EmptyFolderIsTheRoot) {
    QStringList expected =
        QDir(QStringLiteral("/")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [](const QString& n) {
                                      return !QFileInfo(QStringLiteral("/") + n).isFile();
                                  }),
                   expected.end());
    EXPECT_EQ(sorted(ListPlainFiles(QString(), u"")), sorted(expected));
}

TEST(FileStatus, GivesTheLengthAndABirthTime) {
    QTemporaryDir tmp;
    const qint64 before = std::time(nullptr);
    const QString path = makeFile(tmp.path(), QStringLiteral("a.mp3"), QByteArray(1234, 'x'));
    const qint64 after = std::time(nullptr);
    const std::optional<FileStatus> status = ReadFileStatus(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 1234);
    EXPECT_GE(status->created, before - 1);
    EXPECT_LE(status->created, after + 1);
}

TEST(FileStatus, PrefersTheBirthTimeToTheLastChange) {
    QTemporaryDir tmp;
    const QString path = makeFile(tmp.path(), QStringLiteral("a.mp3"));
    struct statx stx {};
    ASSERT_EQ(statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &stx), 0);
    if (!(stx.stx_mask & STATX_BTIME))
        GTEST_SKIP() << "this file system records no birth time";
    QThread::msleep(1100);
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0); // a status change, later
    const std::optional<FileStatus> status = ReadFileStatus(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->created, static_cast<qint64>(stx.stx_btime.tv_sec));
}

TEST(FileStatus, KeepsAllBitsOfALengthOver4GiB) {
    QTemporaryDir tmp;
    const QString path = makeFile(tmp.path(), QStringLiteral("big.mp3"), {});
    constexpr qint64 kLength = (qint64(5) << 30) + 123; // sparse: no blocks are written
    ASSERT_TRUE(QFile::resize(path, kLength));
    const std::optional<FileStatus> status = ReadFileStatus(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, kLength);
}

TEST(FileStatus, NothingForAFileThatCannotBeOpened) {
    QTemporaryDir tmp;
    EXPECT_FALSE(ReadFileStatus(tmp.path() + QStringLiteral("/vanished.mp3")));
    const QString path = makeFile(tmp.path(), QStringLiteral("locked.mp3"));
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    if (access(QFile::encodeName(path).constData(), R_OK) == 0)
        GTEST_SKIP() << "running with the right to read any file (root): mode 000 does not lock it";
    EXPECT_FALSE(ReadFileStatus(path));
}

TEST(FileStatus, DoesNotWaitOnAPipe) {
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/pipe.mp3");
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const std::optional<FileStatus> status = ReadFileStatus(path); // must return at once
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 0);
}

TEST(CreationDate, MonthFirstFourDigitYearToTheSecondInLocalTime) {
    const TimeZone utc("UTC0");
    EXPECT_EQ(CreationDateText(946684799), QStringLiteral("12/31/1999 23:59:59"));
    EXPECT_EQ(CreationDateText(946684800), QStringLiteral("01/01/2000 00:00:00"));
    EXPECT_EQ(CreationDateText(2214131696), QStringLiteral("02/29/2040 12:34:56"));
    const TimeZone cet("CET-1");
    EXPECT_EQ(CreationDateText(0), QStringLiteral("01/01/1970 01:00:00"));
    EXPECT_EQ(CreationDateText(946684799), QStringLiteral("01/01/2000 00:59:59"));
}

TEST(CreationDate, EmptyForYearsNoDateFieldHolds) {
    const TimeZone utc("UTC0");
    EXPECT_EQ(CreationDateText(253402300799), QStringLiteral("12/31/9999 23:59:59"));
    EXPECT_TRUE(CreationDateText(253402300800).isEmpty()); // year 10000
    EXPECT_TRUE(CreationDateText(-59011459201).isEmpty()); // year 99
    EXPECT_TRUE(CreationDateText(std::numeric_limits<qint64>::max()).isEmpty());
}
