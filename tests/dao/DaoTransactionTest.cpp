// Transactions: rolled back unless committed, commit-so-far keeps what was done,
// and recordsets stay usable across commit and rollback.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

qint64 Count(CDaoDatabase& db) {
    return QueryInt(db, QStringLiteral("SELECT count(*) FROM FILES"));
}

} // namespace

class DaoTransaction : public CatalogueTest {};

TEST_F(DaoTransaction, RolledBackUnlessCommitted) {
    {
        CDaoTransaction transaction(m_db);
        AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
        EXPECT_EQ(Count(m_db), 1);
    }
    EXPECT_EQ(Count(m_db), 0);
    EXPECT_EQ(m_db.GetTransactionDepth(), 0);
    {
        CDaoTransaction transaction(&m_db);
        AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
        transaction.Commit();
        EXPECT_FALSE(transaction.IsActive());
    }
    EXPECT_EQ(Count(m_db), 1);
    m_db.Close();
    m_db.Open(m_path);
    EXPECT_EQ(Count(m_db), 1);
}

TEST_F(DaoTransaction, CommitSoFarKeepsRecordsAddedBeforeAnEngineError) {
    {
        CDaoTransaction transaction(m_db);
        AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
        AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"));
        CDaoRecordset rs(&m_db);
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
        EXPECT_THROW(rs.FindFirst(QStringLiteral("Name = 'it's.mp3'")), CDaoException);
        transaction.CommitSoFar(); // the import keeps what it added
        EXPECT_TRUE(transaction.IsActive());
        AddRecord(m_db, QStringLiteral("c.mp3"), QStringLiteral("/m"));
    } // c.mp3 came after the commit and is rolled back
    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT group_concat(Name) FROM FILES")),
              QStringLiteral("a.mp3,b.mp3"));
}

TEST_F(DaoTransaction, NestedTransactionsRollBackTheInnerPartOnly) {
    m_db.BeginTrans();
    AddRecord(m_db, QStringLiteral("outer.mp3"), QStringLiteral("/m"));
    m_db.BeginTrans();
    EXPECT_EQ(m_db.GetTransactionDepth(), 2);
    AddRecord(m_db, QStringLiteral("inner.mp3"), QStringLiteral("/m"));
    m_db.Rollback();
    m_db.CommitTrans();
    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT group_concat(Name) FROM FILES")),
              QStringLiteral("outer.mp3"));
    EXPECT_THROW(m_db.CommitTrans(), CDaoException);
    EXPECT_THROW(m_db.Rollback(), CDaoException);
}

TEST_F(DaoTransaction, AnOpenRecordsetSurvivesARollback) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        AddRecord(m_db, QString::fromUtf8(name), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    {
        CDaoTransaction transaction(m_db);
        ASSERT_TRUE(rs.FindFirst(QStringLiteral("ID_Files=2")));
        rs.MoveFirst();
        rs.Delete();
    }
    // The scan that was open when the transaction rolled back goes on from its record.
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Name")).GetText(), QStringLiteral("b.mp3"));
    EXPECT_EQ(Count(m_db), 3);
}

TEST_F(DaoTransaction, ClosingTheDatabaseRollsBackAnOpenTransaction) {
    m_db.BeginTrans();
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
    m_db.Close();
    EXPECT_EQ(m_db.GetTransactionDepth(), 0);
    m_db.Open(m_path);
    EXPECT_EQ(Count(m_db), 0);
}
