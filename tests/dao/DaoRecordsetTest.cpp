// Reading, finding, adding, editing and deleting records through CDaoRecordset.
#include "DaoTestSupport.h"

#include <sqlite3.h>

using namespace daotest;

namespace {

const QString kAll = QStringLiteral("SELECT * FROM FILES");
const QString kOrdered =
    QStringLiteral("SELECT * FROM FILES ORDER BY FILES.Extention, FILES.Name;");

QString Name(const CDaoRecordset& rs) {
    return rs.GetFieldValue(QStringLiteral("Name")).GetText();
}
qint64 Key(const CDaoRecordset& rs) {
    return rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong();
}

// Every record's key, from MoveFirst to EOF.
std::vector<qint64> Keys(CDaoDatabase& db, const QString& sql) {
    std::vector<qint64> keys;
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    if (rs.IsEOF())
        return keys;
    for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext())
        keys.push_back(Key(rs));
    return keys;
}

// The catalogue's count of records: MoveLast fails on an empty table.
long CountRecords(CDaoDatabase& db, const QString& sql) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    try {
        rs.MoveLast();
    } catch (const CDaoException&) {
        return 0;
    }
    return rs.GetRecordCount();
}

} // namespace

class DaoRecordset : public CatalogueTest {};

TEST_F(DaoRecordset, AddNewAssignsIncreasingKeysAndKeepsTheCurrentRecord) {
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    EXPECT_TRUE(rs.IsBOF() && rs.IsEOF());
    std::vector<qint64> keys;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
        rs.AddNew();
        rs.SetFieldValue(QStringLiteral("Name"), name);
        rs.Update();
        keys.push_back(rs.GetLastModifiedKey());
    }
    EXPECT_EQ(keys, (std::vector<qint64>{1, 2, 3}));
    EXPECT_TRUE(rs.IsEOF());

    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(Name(rs), QStringLiteral("a.mp3"));
    rs.AddNew();
    rs.SetFieldValue(QStringLiteral("Name"), QStringLiteral("d.mp3"));
    rs.Update();
    EXPECT_EQ(Name(rs), QStringLiteral("a.mp3")); // still on the record current before
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("b.mp3"));
    rs.MoveLast();
    EXPECT_EQ(Key(rs), 4);
    EXPECT_EQ(Name(rs), QStringLiteral("d.mp3"));
}

TEST_F(DaoRecordset, ImportStepsAddAnEmptyRecordThenFillItByEdit) {
    AddRecord(m_db, QStringLiteral("old.avi"), QStringLiteral("/v"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll, 0);
    EXPECT_FALSE(rs.FindFirst(QStringLiteral("Name = 'new.avi' AND Directory = '/v'")));
    rs.AddNew();
    rs.Update();
    rs.MoveLast();
    EXPECT_TRUE(rs.GetFieldValue(QStringLiteral("Name")).IsNull());
    rs.Edit();
    rs.SetFieldValue(QStringLiteral("Name"), QStringLiteral("new.avi"));
    rs.SetFieldValue(QStringLiteral("Directory"), QStringLiteral("/v"));
    rs.SetFieldValue(QStringLiteral("Extention"), QStringLiteral("avi"));
    rs.SetFieldValue(QStringLiteral("Size"), 1234);
    rs.SetFieldValue(QStringLiteral("DateCreated"), QStringLiteral("12/06/05 14:03:00"));
    rs.Update();
    EXPECT_EQ(Name(rs), QStringLiteral("new.avi")); // the edited record shows its new values
    rs.Close();

    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT Name||'|'||Directory||'|'||Extention||'|'||"
                                             "Size||'|'||DateCreated FROM FILES WHERE ID_Files=2")),
              QStringLiteral("new.avi|/v|avi|1234|2005-12-06 14:03:00"));
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    EXPECT_TRUE(rs.FindFirst(QStringLiteral("Name = 'new.avi' AND Directory = '/v'")));
    EXPECT_EQ(Key(rs), 2);
}

TEST_F(DaoRecordset, FindFirstByKeyPositionsOnTheRecordOrLeavesThePosition) {
    for (int i = 1; i <= 50; ++i)
        AddRecord(m_db, QStringLiteral("f%1.mp3").arg(i), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    EXPECT_TRUE(rs.FindFirst(QStringLiteral("ID_Files=42")));
    EXPECT_EQ(Name(rs), QStringLiteral("f42.mp3"));
    EXPECT_FALSE(rs.FindFirst(QStringLiteral("ID_Files=999")));
    EXPECT_EQ(Key(rs), 42);
    EXPECT_TRUE(rs.FindFirst(QStringLiteral("ID_Files = 7")));
    EXPECT_EQ(Key(rs), 7);
    rs.MoveNext(); // a find is a position like any other
    EXPECT_EQ(Key(rs), 8);
    EXPECT_TRUE(rs.FindFirst(QStringLiteral("Size = 0 AND ID_Files > 40")));
    EXPECT_EQ(Key(rs), 41);
}

TEST_F(DaoRecordset, BoundFindMatchesNamesWithQuotesAndUnicodeExactly) {
    const QString quoted = QStringLiteral("O'Brien's \"best\".mp3");
    const QString unicode = QStringLiteral("Ünïcødé — 日本語 🎵.mp3");
    const QString folder = QStringLiteral("/home/it's/Müsik");
    AddRecord(m_db, QStringLiteral("plain.mp3"), folder);
    const qint64 quotedKey = AddRecord(m_db, quoted, folder);
    const qint64 unicodeKey = AddRecord(m_db, unicode, folder);
    AddRecord(m_db, quoted, QStringLiteral("/elsewhere"));

    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    const QString filter = QStringLiteral("Name = ? AND Directory = ?");
    ASSERT_TRUE(rs.FindFirst(filter, {quoted, folder}));
    EXPECT_EQ(Key(rs), quotedKey);
    ASSERT_TRUE(rs.FindFirst(filter, {unicode, folder}));
    EXPECT_EQ(Key(rs), unicodeKey);
    EXPECT_EQ(Name(rs), unicode);
    EXPECT_FALSE(rs.FindFirst(filter, {QStringLiteral("x' OR '1'='1"), folder}));
    EXPECT_FALSE(rs.FindFirst(filter, {QStringLiteral("o'brien's \"best\".mp3"), folder}));
    EXPECT_THROW(rs.FindFirst(filter, {quoted}), CDaoException); // one value short

    // Pasted into the filter as it is, the quote breaks the statement.
    EXPECT_THROW(
        rs.FindFirst(QStringLiteral("Name = '%1' AND Directory = '%2'").arg(quoted, folder)),
        CDaoException);
}

TEST_F(DaoRecordset, FindFirstFollowsTheRecordsetOrder) {
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"), 5);
    AddRecord(m_db, QStringLiteral("c.mp3"), QStringLiteral("/m"), 5);
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"), 5);
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES ORDER BY Name DESC"));
    EXPECT_EQ(Name(rs), QStringLiteral("c.mp3"));
    ASSERT_TRUE(rs.FindFirst(QStringLiteral("Size = 5 AND Name <> 'c.mp3'")));
    EXPECT_EQ(Name(rs), QStringLiteral("b.mp3"));
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("a.mp3"));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_THROW(rs.MoveNext(), CDaoException);
}

TEST_F(DaoRecordset, OrderedScanSortsByExtentionThenName) {
    const QStringList names{"z.avi", "b.mp3", "a.wav", "a.mp3", "m.avi", "b.mp3"};
    for (const QString& name : names)
        AddRecord(m_db, name, QStringLiteral("/m"));
    const std::vector<qint64> expected{5, 1, 4, 2, 6, 3}; // ties keep key order
    EXPECT_EQ(Keys(m_db, kOrdered), expected);

    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kOrdered);
    rs.MoveLast();
    EXPECT_EQ(Key(rs), expected.back());

    // From a found record on, across records with equal sort keys.
    ASSERT_TRUE(rs.FindFirst(QStringLiteral("ID_Files=4")));
    rs.MoveNext();
    EXPECT_EQ(Key(rs), 2);
    rs.MoveNext();
    EXPECT_EQ(Key(rs), 6);
}

TEST_F(DaoRecordset, DeleteWhileIteratingVisitsEveryRecordOnce) {
    for (const QString& sql : {kAll, kOrdered}) {
        m_db.Execute(QStringLiteral("DELETE FROM FILES"));
        for (int i = 1; i <= 20; ++i)
            AddRecord(m_db, QStringLiteral("%1.mp3").arg(QChar(u'a' + (i * 7) % 20)),
                      QStringLiteral("/m"));
        const std::vector<qint64> all = Keys(m_db, sql);
        std::vector<qint64> visited;
        std::vector<qint64> kept;
        CDaoRecordset rs(&m_db);
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            visited.push_back(Key(rs));
            if (visited.size() % 2 == 1) {
                rs.Delete();
                EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);
            } else {
                kept.push_back(Key(rs));
            }
        }
        EXPECT_EQ(visited, all) << sql.toStdString();
        EXPECT_EQ(Keys(m_db, sql), kept) << sql.toStdString();
    }
}

TEST_F(DaoRecordset, DeletingLinesByKeyFindsAndDeletesEachRecord) {
    for (int i = 1; i <= 10; ++i)
        AddRecord(m_db, QStringLiteral("f%1.mp3").arg(i), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    for (int key : {2, 5, 7, 77}) {
        if (rs.FindFirst(QStringLiteral("%1=%2").arg(QStringLiteral("ID_Files")).arg(key)))
            rs.Delete();
    }
    rs.Close();
    EXPECT_EQ(Keys(m_db, kAll), (std::vector<qint64>{1, 3, 4, 6, 8, 9, 10}));

    // After a found record is deleted, MoveNext goes on from its place.
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kOrdered);
    ASSERT_TRUE(rs.FindFirst(QStringLiteral("ID_Files=3")));
    rs.Delete();
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("f4.mp3"));
}

TEST_F(DaoRecordset, DeleteFirstDeletesOnlyTheRecordFindFirstWouldFind) {
    for (int i = 1; i <= 6; ++i)
        AddRecord(m_db, QStringLiteral("f%1.mp3").arg(7 - i), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kOrdered);
    EXPECT_TRUE(rs.DeleteFirst(QStringLiteral("ID_Files=2")));
    EXPECT_FALSE(rs.DeleteFirst(QStringLiteral("ID_Files=2")));
    EXPECT_FALSE(rs.DeleteFirst(QStringLiteral("ID_Files=77")));
    // Of several matching records, the first in the recordset's order (f1, key 6).
    EXPECT_TRUE(rs.DeleteFirst(QStringLiteral("Directory = '/m' AND Size = 0")));
    EXPECT_EQ(Keys(m_db, kAll), (std::vector<qint64>{1, 3, 4, 5}));

    // The current record deleted so is current and deleted; the scan goes on after it.
    EXPECT_EQ(Name(rs), QStringLiteral("f2.mp3"));
    EXPECT_TRUE(rs.DeleteFirst(QStringLiteral("ID_Files=5")));
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);
    rs.MoveNext();
    EXPECT_EQ(Name(rs), QStringLiteral("f3.mp3"));
    EXPECT_THROW(rs.DeleteFirst(QStringLiteral("Nope = 1")), CDaoException);
    EXPECT_EQ(Keys(m_db, kAll), (std::vector<qint64>{1, 3, 4}));
}

TEST_F(DaoRecordset, MoveLastAndRecordCount) {
    EXPECT_EQ(CountRecords(m_db, kAll), 0);
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    EXPECT_THROW(rs.MoveLast(), CDaoException);
    EXPECT_THROW(rs.MoveFirst(), CDaoException);
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Name")), CDaoException);
    rs.Close();

    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"), 1);
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"), 2);
    AddRecord(m_db, QStringLiteral("c.mp3"), QStringLiteral("/m"), 3);
    EXPECT_EQ(CountRecords(m_db, kAll), 3);
    EXPECT_EQ(CountRecords(m_db, QStringLiteral("SELECT * FROM FILES WHERE Size > 1")), 2);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    rs.MoveLast();
    EXPECT_EQ(Name(rs), QStringLiteral("c.mp3"));
    EXPECT_EQ(rs.GetRecordCount(), 3);
}

TEST_F(DaoRecordset, EditChangesTheCurrentRecordOnly) {
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"), 1);
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"), 2);
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    rs.MoveNext();
    rs.Edit();
    rs.SetFieldValue(QStringLiteral("Size"), 99);
    rs.SetFieldValueNull(QStringLiteral("Directory"));
    rs.Update();
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Size")).GetLong(), 99);
    EXPECT_TRUE(rs.GetFieldValue(QStringLiteral("Directory")).IsNull());
    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT group_concat(Size||':'||ifnull(Directory,"
                                             "'null')) FROM FILES")),
              QStringLiteral("1:/m,99:null"));

    // An edit not stored is dropped by a move.
    rs.MoveFirst();
    rs.Edit();
    rs.SetFieldValue(QStringLiteral("Size"), 7);
    rs.MoveNext();
    EXPECT_THROW(rs.Update(), CDaoException);
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT Size FROM FILES WHERE ID_Files=1")), 1);
}

TEST_F(DaoRecordset, ValuesKeepTheirFullRange) {
    const qint64 fiveGiB = 5LL * 1024 * 1024 * 1024;
    const QString longName = QString(300, QChar(u'n')) + QStringLiteral(".mp3");
    AddRecord(m_db, longName, QStringLiteral("/m"), fiveGiB);
    AddRecord(m_db, QStringLiteral("neg.mp3"), QStringLiteral("/m"), -1);
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    const COleVariant size = rs.GetFieldValue(QStringLiteral("Size"));
    EXPECT_EQ(size.GetKind(), COleVariant::Long);
    EXPECT_EQ(size.GetLong(), fiveGiB);
    EXPECT_EQ(Name(rs), longName); // the declared size is not enforced
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetKind(), COleVariant::Long);
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("name")).GetKind(), COleVariant::Text);
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("DateCreated")).GetKind(), COleVariant::Null);
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue(3).GetLong(), -1);
    EXPECT_EQ(rs.GetFieldCount(), 6);
    EXPECT_EQ(rs.GetFieldName(2), QStringLiteral("Extention"));
}

TEST_F(DaoRecordset, MisuseAndBadStatementsThrowWithADescription) {
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"));
    CDaoRecordset rs(&m_db);
    for (const char* sql :
         {"SELECT * FROM NOFILES", "SELECT * FROM FILES ORDER BY Nope", "SELECT * FROM FILES WHERE",
          "SELECT Name FROM FILES", "SELECT * FROM FILES; DROP TABLE FILES"}) {
        EXPECT_THROW(rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QString::fromUtf8(sql)), CDaoException)
            << sql;
        EXPECT_FALSE(rs.IsOpen());
    }
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, kAll);
    try {
        rs.FindFirst(QStringLiteral("Name = = 'x'"));
        FAIL() << "a malformed filter was accepted";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("syntax error")))
            << e.m_strDescription.toStdString();
    }
    EXPECT_THROW(rs.FindFirst(QStringLiteral("NoSuchField = 1")), CDaoException);
    EXPECT_THROW(rs.GetFieldValue(QStringLiteral("Nope")), CDaoException);
    EXPECT_THROW(rs.SetFieldValue(QStringLiteral("Name"), QStringLiteral("x")), CDaoException);
    EXPECT_THROW(rs.Update(), CDaoException);
    rs.AddNew();
    EXPECT_THROW(rs.SetFieldValue(QStringLiteral("Size"), QStringLiteral("big")), CDaoException);
    EXPECT_THROW(rs.SetFieldValue(QStringLiteral("ID_Files"), 5), CDaoException);
    rs.SetFieldValue(QStringLiteral("Size"), QStringLiteral(" 12 "));
    rs.Update();
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT Size FROM FILES WHERE ID_Files=2")), 12);
    EXPECT_EQ(Keys(m_db, kAll).size(), 2u);
}
