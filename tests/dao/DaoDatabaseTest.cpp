// Creating and opening the catalogue file: what succeeds, and that every failed
// attempt leaves the file system exactly as it was.
#include "DaoTestSupport.h"

#include "platform/dao/FilePlacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

using namespace daotest;

namespace {

QStringList FolderEntries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Expects Open to fail and the folder and the file's bytes to be untouched.
void ExpectOpenFailsUnchanged(const QTemporaryDir& dir, const QString& path) {
    const QByteArray before = ReadBytes(path);
    const QStringList entries = FolderEntries(dir);
    CDaoDatabase db;
    try {
        db.Open(path, false, false, QString());
        FAIL() << "Open succeeded on " << path.toStdString();
    } catch (const CDaoException& e) {
        EXPECT_FALSE(e.m_strDescription.isEmpty());
        EXPECT_NE(e.m_nSqliteCode, SQLITE_OK);
    }
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FolderEntries(dir), entries); // no -journal, -wal or -shm left behind
}

} // namespace

TEST(DaoDatabase, CreateMakesAnEmptyOpenDatabaseThatOpensAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lumarest.mdb"));
    {
        CDaoDatabase db;
        EXPECT_FALSE(db.IsOpen());
        db.Create(path, QString::fromLatin1(dbLangGeneral), 0);
        EXPECT_TRUE(db.IsOpen());
        EXPECT_EQ(db.GetName(), path);
        EXPECT_EQ(QueryInt(db, QStringLiteral("SELECT count(*) FROM sqlite_master")), 0);
        db.Execute(QStringLiteral("CREATE TABLE T (x INTEGER)"));
        db.Close();
        EXPECT_FALSE(db.IsOpen());
    }
    EXPECT_TRUE(ReadBytes(path).startsWith("SQLite format 3"));
    CDaoDatabase db;
    db.Open(path);
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(QueryText(db, QStringLiteral("SELECT name FROM sqlite_master")), QStringLiteral("T"));
}

TEST(DaoDatabase, CreateFailsOnAnExistingFileAndLeavesItUnchanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lumarest.mdb"));
    WriteFile(path, QByteArray("not a database\n"));
    CDaoDatabase db;
    EXPECT_THROW(db.Create(path), CDaoException);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(ReadBytes(path), QByteArray("not a database\n"));

    // An existing catalogue is not replaced either.
    const QString catalogue = dir.filePath(QStringLiteral("second.mdb"));
    db.Create(catalogue);
    CreateFilesTable(db);
    AddRecord(db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
    db.Close();
    const QByteArray bytes = ReadBytes(catalogue);
    EXPECT_THROW(db.Create(catalogue), CDaoException);
    EXPECT_EQ(ReadBytes(catalogue), bytes);
}

TEST(DaoDatabase, CreateFailsWhereTheFileCannotBeWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/Lumarest.mdb"));
    CDaoDatabase db;
    EXPECT_THROW(db.Create(path), CDaoException);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(FolderEntries(dir).isEmpty());
}

TEST(DaoDatabase, AFileBuiltAsideTakesItsNameOnlyWhereNothingBearsIt) {
    using namespace lumarest::dao;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lumarest.mdb"));
    const QString built = BuildingNameFor(path);
    EXPECT_EQ(QFileInfo(built).dir(), QFileInfo(path).dir());
    WriteFile(built, "built");
    WriteFile(path, "already here");
    EXPECT_THROW(PlaceNewFile(built, path), CDaoException);
    EXPECT_EQ(ReadBytes(path), QByteArray("already here"));
    EXPECT_EQ(FolderEntries(dir), QStringList{"Lumarest.mdb"}); // nothing built is left

    QFile::remove(path);
    WriteFile(built, "built");
    PlaceNewFile(built, path);
    EXPECT_EQ(ReadBytes(path), QByteArray("built"));
    EXPECT_EQ(FolderEntries(dir), QStringList{"Lumarest.mdb"});
}

TEST(DaoDatabase, OpenOnAMissingFileFailsAndCreatesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lumarest.mdb"));
    CDaoDatabase db;
    try {
        db.Open(path);
        FAIL() << "Open succeeded on a missing file";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("Lumarest.mdb")));
        EXPECT_STRNE(e.what(), "");
    }
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(FolderEntries(dir).isEmpty());
}

TEST(DaoDatabase, OpenFailsOnFilesThatAreNoCatalogueAndLeavesTheirBytes) {
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("Lumarest.mdb"));
    WriteFile(text, QByteArray("Just some text\nthat is no database at all.\n").repeated(40));
    ExpectOpenFailsUnchanged(dir, text);

    const QString empty = dir.filePath(QStringLiteral("empty.mdb"));
    WriteFile(empty, QByteArray());
    ExpectOpenFailsUnchanged(dir, empty);

    // The 16-byte SQLite signature followed by garbage.
    const QString fake = dir.filePath(QStringLiteral("fake.mdb"));
    WriteFile(fake, QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x7f'));
    ExpectOpenFailsUnchanged(dir, fake);

    ExpectOpenFailsUnchanged(dir, dir.path()); // a folder
}

TEST(DaoDatabase, OpenFailsOnAForeignSqliteDatabaseWithoutWritingToIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.db"));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "CREATE TABLE FILES (ID_Files INTEGER PRIMARY KEY)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    ExpectOpenFailsUnchanged(dir, path);
}

TEST(DaoDatabase, EngineErrorsCarryTheirDescription) {
    QTemporaryDir dir;
    CDaoDatabase db;
    db.Create(dir.filePath(QStringLiteral("Lumarest.mdb")));
    try {
        db.Execute(QStringLiteral("SELEC 1"));
        FAIL() << "a malformed statement ran";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("syntax error")))
            << e.m_strDescription.toStdString();
        EXPECT_EQ(e.m_nSqliteCode, SQLITE_ERROR);
        EXPECT_EQ(QString::fromUtf8(e.what()), e.m_strDescription);
    }
    db.Close();
    EXPECT_THROW(db.Execute(QStringLiteral("SELECT 1")), CDaoException);
    EXPECT_THROW(db.BeginTrans(), CDaoException);
}

TEST(DaoDatabase, ClosingTheDatabaseClosesItsRecordsets) {
    QTemporaryDir dir;
    CDaoDatabase db;
    db.Create(dir.filePath(QStringLiteral("Lumarest.mdb")));
    CreateFilesTable(db);
    AddRecord(db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    ASSERT_TRUE(rs.IsOpen());
    db.Close();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);
}
