// A recordset reads its first record when it is first looked at, not at Open:
// rows added in between are not taken for that record, Open still refuses a
// statement that does not prepare, and a first read that fails is reported to
// the recordset that reads, not to another that writes.
#include "DaoTestSupport.h"

#include <limits>
#include <sqlite3.h>

using namespace daotest;

namespace {

const QString kByName = QStringLiteral("SELECT * FROM FILES ORDER BY Name");

QString Name(const CDaoRecordset& rs) {
    return rs.GetFieldValue(QStringLiteral("Name")).GetText();
}

void Add(CDaoRecordset& rs, const QString& name) {
    rs.AddNew();
    rs.SetFieldValue(QStringLiteral("Name"), name);
    rs.SetFieldValue(QStringLiteral("Directory"), QStringLiteral("/m"));
    rs.Update();
}

} // namespace

class DaoFirstLook : public CatalogueTest {};

TEST_F(DaoFirstLook, RowsAddedAfterOpenAreNotTakenForTheFirstRecord) {
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"));
    AddRecord(m_db, QStringLiteral("c.mp3"), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kByName);
    CDaoRecordset writer(&m_db);
    writer.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    Add(writer, QStringLiteral("a.mp3")); // sorts first, added by another recordset
    Add(rs, QStringLiteral("0.mp3"));     // sorts first, added by the recordset itself
    Add(rs, QStringLiteral("d.mp3"));     // sorts last

    EXPECT_FALSE(rs.IsBOF());
    EXPECT_EQ(Name(rs), QStringLiteral("b.mp3"));
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("c.mp3"));
    rs.MoveNext(); // a dynaset shows rows added after its record
    EXPECT_EQ(Name(rs), QStringLiteral("d.mp3"));
    rs.MoveFirst(); // the first record now
    EXPECT_EQ(Name(rs), QStringLiteral("0.mp3"));
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("a.mp3"));

    // MoveFirst as the first look also means the first record now.
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kByName);
    Add(writer, QStringLiteral("00.mp3"));
    rs.MoveFirst();
    EXPECT_EQ(Name(rs), QStringLiteral("0.mp3"));
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("00.mp3"));
}

TEST_F(DaoFirstLook, AnEmptyRecordsetStaysEmptyUntilItMovesAfterAdding) {
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kByName);
    Add(rs, QStringLiteral("b.mp3"));
    Add(rs, QStringLiteral("a.mp3"));
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);
    rs.MoveFirst();
    EXPECT_EQ(Name(rs), QStringLiteral("a.mp3"));
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("b.mp3"));
}

TEST_F(DaoFirstLook, ManyRowsAddedBeforeTheFirstLook) {
    AddRecord(m_db, QStringLiteral("m.mp3"), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kByName);
    CDaoRecordset writer(&m_db);
    writer.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    CDaoTransaction transaction(m_db);
    for (int i = 0; i < 100; ++i)
        Add(writer, QStringLiteral("a%1.mp3").arg(i, 3, 10, QLatin1Char('0')));
    transaction.Commit();
    EXPECT_EQ(Name(rs), QStringLiteral("m.mp3"));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.MoveFirst();
    EXPECT_EQ(Name(rs), QStringLiteral("a000.mp3"));
}

TEST_F(DaoFirstLook, RowsThatATriggerAddsAreNotTakenForTheFirstRecordEither) {
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"));
    m_db.Execute(QStringLiteral("CREATE TRIGGER echo AFTER INSERT ON FILES WHEN NEW.Name = 'c.mp3' "
                                "BEGIN INSERT INTO FILES (Name) VALUES ('0.mp3'); END"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kByName);
    CDaoRecordset writer(&m_db);
    writer.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    Add(writer, QStringLiteral("c.mp3"));
    ASSERT_EQ(QueryInt(m_db, QStringLiteral("SELECT count(*) FROM FILES")), 3);
    EXPECT_EQ(Name(rs), QStringLiteral("b.mp3"));
    rs.MoveFirst();
    EXPECT_EQ(Name(rs), QStringLiteral("0.mp3"));
}

TEST_F(DaoFirstLook, OpenRefusesAStatementThatNoLongerPrepares) {
    m_db.Execute(QStringLiteral("CREATE TABLE Wanted (n INTEGER)"));
    const QString sql =
        QStringLiteral("SELECT * FROM FILES WHERE Size IN (SELECT n FROM Wanted) ORDER BY Name");
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    rs.Close();
    m_db.Execute(QStringLiteral("DROP TABLE Wanted"));
    try {
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
        FAIL() << "Open accepted a statement over a dropped table";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("Wanted")))
            << e.m_strDescription.toStdString();
    }
    EXPECT_FALSE(rs.IsOpen());
}

TEST_F(DaoFirstLook, AFirstReadThatFailsIsReportedToTheReaderOnly) {
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"),
              std::numeric_limits<qint64>::min());
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"), 1);
    // abs() of the smallest integer fails while the rows are read, not when prepared.
    const QString sql = QStringLiteral("SELECT * FROM FILES WHERE abs(Size) > 0");

    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    try {
        rs.IsEOF();
        FAIL() << "the failed read went unreported";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("overflow")))
            << e.m_strDescription.toStdString();
    }
    EXPECT_TRUE(rs.IsEOF()); // no current record after the failure
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);

    // A recordset that writes is not held up by another whose first read fails.
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    CDaoRecordset writer(&m_db);
    writer.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    ASSERT_TRUE(writer.FindFirst(QStringLiteral("ID_Files=2")));
    writer.Edit();
    writer.SetFieldValue(QStringLiteral("Size"), 2);
    EXPECT_NO_THROW(writer.Update());
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT Size FROM FILES WHERE ID_Files=2")), 2);
    EXPECT_THROW(rs.MoveNext(), CDaoException); // the reader learns of its failure
    EXPECT_TRUE(rs.IsEOF());
}
