// Moving through a recordset from any record: after a find, a write or a delete,
// MoveNext agrees with a plain scan, whatever the sort order.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

std::vector<qint64> ScanForward(CDaoDatabase& db, const QString& sql) {
    std::vector<qint64> keys;
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    for (; !rs.IsEOF(); rs.MoveNext())
        keys.push_back(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong());
    return keys;
}

qint64 KeyAfterFind(CDaoRecordset& rs, qint64 key) {
    EXPECT_TRUE(rs.FindFirst(QStringLiteral("ID_Files=%1").arg(key)));
    rs.MoveNext();
    if (rs.IsEOF())
        return -1;
    return rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong();
}

class DaoNavigation : public CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        // Repeated names and sizes, and NULLs, so that sort keys tie and compare with NULL.
        const char* names[] = {"b.mp3", "a.mp3", "b.mp3", nullptr,
                               "C.avi", "a.mp3", "c.avi", nullptr};
        CDaoTransaction transaction(m_db);
        for (int i = 0; i < 24; ++i) {
            CDaoRecordset rs(&m_db);
            rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
            rs.AddNew();
            if (const char* name = names[i % 8])
                rs.SetFieldValue(QStringLiteral("Name"), name);
            if (i % 5 != 0)
                rs.SetFieldValue(QStringLiteral("Size"), (i * 7) % 4);
            rs.SetFieldValue(QStringLiteral("Directory"),
                             i % 3 ? QStringLiteral("/x") : QStringLiteral("/y"));
            rs.Update();
        }
        transaction.Commit();
    }
};

const QStringList kQueries{
    QStringLiteral("SELECT * FROM FILES"),
    QStringLiteral("SELECT * FROM FILES ORDER BY FILES.Extention, FILES.Name;"),
    QStringLiteral("SELECT * FROM FILES ORDER BY Name DESC, Size"),
    QStringLiteral("SELECT * FROM FILES ORDER BY Size NULLS LAST, [Name] COLLATE NOCASE DESC"),
    QStringLiteral("SELECT * FROM FILES WHERE Directory = '/x' ORDER BY Size % 3, 2 DESC"),
    QStringLiteral("SELECT * FROM [FILES] WHERE Size IS NOT NULL ORDER BY ID_Files DESC"),
};

} // namespace

TEST_F(DaoNavigation, MovesFromAFoundRecordAgreeWithTheScan) {
    for (const QString& sql : kQueries) {
        const std::vector<qint64> order = ScanForward(m_db, sql);
        ASSERT_FALSE(order.empty()) << sql.toStdString();
        CDaoRecordset rs(&m_db);
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
        for (size_t i = 0; i < order.size(); ++i) {
            const qint64 next = i + 1 < order.size() ? order[i + 1] : -1;
            EXPECT_EQ(KeyAfterFind(rs, order[i]), next) << sql.toStdString() << " at " << i;
        }
        rs.MoveLast();
        EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), order.back())
            << sql.toStdString();
    }
}

TEST_F(DaoNavigation, AnEditedRecordKeepsItsPlaceForTheNextMove) {
    const QString sql = QStringLiteral("SELECT * FROM FILES ORDER BY Name, Size");
    const std::vector<qint64> order = ScanForward(m_db, sql);
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    rs.MoveNext();
    rs.MoveNext();
    ASSERT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), order[2]);
    rs.Edit();
    rs.SetFieldValue(QStringLiteral("Name"), QStringLiteral("zzz.mp3")); // sorts last now
    rs.Update();
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Name")).GetText(), QStringLiteral("zzz.mp3"));
    rs.MoveNext();
    EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), order[3]);
}

TEST_F(DaoNavigation, ManyDifferentFiltersStayCorrectAsStatementsAreRecycled) {
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    for (int round = 0; round < 2; ++round) {
        for (int i = 1; i <= 150; ++i) {
            const qint64 key = i % 24 + 1;
            const QString filter =
                QStringLiteral("ID_Files = ? AND %1 = %1").arg(i); // a different text each time
            ASSERT_TRUE(rs.FindFirst(filter, {COleVariant(key)})) << i;
            EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), key);
        }
    }
}

TEST_F(DaoNavigation, AScanGoesOnCorrectlyWhileAnotherRecordsetWrites) {
    const QString sql = QStringLiteral("SELECT * FROM FILES ORDER BY Directory, ID_Files");
    const std::vector<qint64> order = ScanForward(m_db, sql);
    CDaoRecordset scan(&m_db);
    scan.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
    CDaoRecordset writer(&m_db);
    writer.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    std::vector<qint64> visited;
    std::vector<qint64> expected;
    for (size_t i = 0; !scan.IsEOF(); scan.MoveNext(), ++i) {
        visited.push_back(scan.GetFieldValue(QStringLiteral("ID_Files")).GetLong());
        if (i == 3) {
            // Delete the record two places ahead and add one that sorts after all.
            ASSERT_TRUE(writer.FindFirst(QStringLiteral("ID_Files=%1").arg(order[5])));
            writer.Delete();
            writer.AddNew();
            writer.SetFieldValue(QStringLiteral("Directory"), QStringLiteral("/z"));
            writer.Update();
        }
    }
    for (size_t i = 0; i < order.size(); ++i) {
        if (i != 5)
            expected.push_back(order[i]);
    }
    expected.push_back(writer.GetLastModifiedKey());
    EXPECT_EQ(visited, expected);
}

// A find with bound values keeps only the record's rowid until its values are
// needed: reading, moving on, editing and deleting it, and another recordset
// deleting it first, all behave as for a record found by a plain filter.
TEST_F(DaoNavigation, ARecordFoundWithBoundValuesBehavesAsAnyFoundRecord) {
    for (const QString& sql : kQueries.mid(0, 4)) {
        const std::vector<qint64> order = ScanForward(m_db, sql);
        ASSERT_GE(order.size(), 4u) << sql.toStdString();
        const QString byKey = QStringLiteral("ID_Files = ?");
        CDaoRecordset rs(&m_db);
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, sql);
        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[1])}));
        rs.MoveNext();
        EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), order[2]);

        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[2])}));
        const QString name = rs.GetFieldValue(QStringLiteral("Name")).GetText();
        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[2])}));
        CDaoRecordset other(&m_db);
        other.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
        ASSERT_TRUE(other.FindFirst(QStringLiteral("ID_Files=%1").arg(order[2])));
        other.Delete();
        EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Name")).GetText(), name); // kept as it was
        rs.MoveNext();
        EXPECT_EQ(rs.GetFieldValue(QStringLiteral("ID_Files")).GetLong(), order[3]);

        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[3])}));
        rs.Edit();
        rs.SetFieldValue(QStringLiteral("Directory"), QStringLiteral("/edited"));
        rs.Update();
        EXPECT_EQ(rs.GetFieldValue(QStringLiteral("Directory")).GetText(), "/edited");
        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[0])}));
        rs.Delete();
        EXPECT_FALSE(rs.FindFirst(byKey, {COleVariant(order[0])}));
        ASSERT_TRUE(rs.FindFirst(byKey, {COleVariant(order[3])}));
        EXPECT_TRUE(rs.DeleteFirst(QStringLiteral("ID_Files=%1").arg(order[3])));
        EXPECT_EQ(ScanForward(m_db, sql).size(), order.size() - 3);
    }
}
