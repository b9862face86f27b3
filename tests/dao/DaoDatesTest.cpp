// Dates: text written to a date field, what is stored, how it reads back, and the
// COleDateTime and COleVariant conversions the play list relies on.
#include "DaoTestSupport.h"

#include "platform/dao/OleDateTime.h"
#include "platform/dao/OleVariant.h"

#include <QDateTime>

using namespace daotest;

namespace {

// Writes the text into DateCreated of a new record; returns what SQLite stored.
QString StoreDate(CDaoDatabase& db, const COleVariant& value) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    rs.AddNew();
    rs.SetFieldValue(QStringLiteral("DateCreated"), value);
    rs.Update();
    return QueryText(db, QStringLiteral("SELECT DateCreated FROM FILES WHERE ID_Files=%1")
                             .arg(rs.GetLastModifiedKey()));
}

} // namespace

class DaoDates : public CatalogueTest {};

TEST_F(DaoDates, TextWrittenToADateFieldIsStoredAsSqliteDateText) {
    EXPECT_EQ(StoreDate(m_db, QStringLiteral("12/06/05 14:03:00")),
              QStringLiteral("2005-12-06 14:03:00"));
    EXPECT_EQ(StoreDate(m_db, QStringLiteral("01/01/29 00:00:00")),
              QStringLiteral("2029-01-01 00:00:00"));
    EXPECT_EQ(StoreDate(m_db, QStringLiteral("12/31/30 23:59:59")),
              QStringLiteral("1930-12-31 23:59:59"));
    EXPECT_EQ(StoreDate(m_db, QStringLiteral("02/29/2024 08:05:09")),
              QStringLiteral("2024-02-29 08:05:09"));
    EXPECT_EQ(StoreDate(m_db, QStringLiteral("2005-12-06 14:03:00")),
              QStringLiteral("2005-12-06 14:03:00"));
    EXPECT_EQ(StoreDate(m_db, COleDateTime(1999, 7, 4, 9, 8, 7)),
              QStringLiteral("1999-07-04 09:08:07"));
    EXPECT_EQ(StoreDate(m_db, COleVariant::MakeNull()), QStringLiteral("<null>"));
}

TEST_F(DaoDates, TextThatIsNoDateIsRefusedAndNothingIsWritten) {
    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    rs.AddNew();
    for (const char* text : {"yesterday", "", "13/01/05 10:00:00", "02/30/05 10:00:00",
                             "12/06/05 24:00:00", "12/06/05 14:03:00 extra", "2005-12-06X10:00"}) {
        try {
            rs.SetFieldValue(QStringLiteral("DateCreated"), QString::fromUtf8(text));
            ADD_FAILURE() << "accepted as a date: " << text;
        } catch (const CDaoException& e) {
            EXPECT_EQ(e.m_strDescription, QStringLiteral("Data type conversion error."));
        }
    }
    EXPECT_THROW(rs.SetFieldValue(QStringLiteral("DateCreated"), 12345), CDaoException);
    rs.Close();
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT count(*) FROM FILES")), 0);
}

TEST_F(DaoDates, DateFieldsReadAsDatesNullsAndForeignText) {
    AddRecord(m_db, QStringLiteral("a.mp3"), QStringLiteral("/m"), 1,
              QStringLiteral("12/06/05 14:03:00"));
    AddRecord(m_db, QStringLiteral("b.mp3"), QStringLiteral("/m"), 1);
    AddRecord(m_db, QStringLiteral("c.mp3"), QStringLiteral("/m"), 1);
    m_db.Execute(QStringLiteral("UPDATE FILES SET DateCreated='garbage' WHERE ID_Files=3"));

    CDaoRecordset rs(&m_db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    const COleVariant date = rs.GetFieldValue(QStringLiteral("DateCreated"));
    ASSERT_EQ(date.GetKind(), COleVariant::Date);
    EXPECT_EQ(COleDateTime(date).Format("%d.%m.%y %H:%M"), QStringLiteral("06.12.05 14:03"));
    rs.MoveNext();
    const COleVariant null = rs.GetFieldValue(QStringLiteral("DateCreated"));
    EXPECT_TRUE(null.IsNull());
    EXPECT_EQ(VariantToDate(null).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(VariantToDate(null).Format("%d.%m.%y %H:%M"), QStringLiteral("Invalid DateTime"));
    rs.MoveNext();
    const COleVariant text = rs.GetFieldValue(QStringLiteral("DateCreated"));
    EXPECT_EQ(text.GetKind(), COleVariant::Text);
    EXPECT_EQ(VariantToDate(text).GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTime, FormatsWithStrftimeConversions) {
    const COleDateTime d(2005, 12, 6, 14, 3, 9);
    EXPECT_EQ(d.Format("%d.%m.%y %H:%M"), QStringLiteral("06.12.05 14:03"));
    EXPECT_EQ(d.Format("%m/%d/%y %H:%M:%S"), QStringLiteral("12/06/05 14:03:09"));
    EXPECT_EQ(d.Format("%c"), QStringLiteral("12/06/05 14:03:09"));
    EXPECT_EQ(d.Format("%Y-%j %a %b %I%p 100%%"), QStringLiteral("2005-340 Tue Dec 02PM 100%"));
    EXPECT_EQ(COleDateTime(1905, 1, 2, 0, 0, 0).Format("%y|%e|%A|%B"),
              QStringLiteral("05| 2|Monday|January"));
    EXPECT_EQ(COleDateTime::Null().Format("%d"), QString());
    EXPECT_EQ(COleDateTime::Invalid().Format("%d"), QStringLiteral("Invalid DateTime"));
}

TEST(OleDateTime, ParsesTheAcceptedFormsAndRejectsOthers) {
    struct Case {
        const char* text;
        const char* stored; // nullptr: rejected
    } const cases[] = {
        {"12/06/05 14:03:00", "2005-12-06 14:03:00"},
        {"1/2/99 1:02", "1999-01-02 01:02:00"},
        {"12/6/2005 2:03:00 PM", "2005-12-06 14:03:00"},
        {"12/6/2005 12:00:00 am", "2005-12-06 00:00:00"},
        {" 2005-12-06T14:03:00.250 ", "2005-12-06 14:03:00"},
        {"2005-12-06", "2005-12-06 00:00:00"},
        {"02/29/2023 00:00:00", nullptr},
        {"12/06/5 14:03:00", nullptr},
        {"2005-12-06 14:3", nullptr},
        {"12/06/05 13:00 PM", nullptr},
        {"0099-01-01", nullptr},
        {"12-06-05", nullptr},
    };
    for (const Case& c : cases) {
        const COleDateTime d = COleDateTime::FromText(QString::fromUtf8(c.text));
        if (c.stored) {
            EXPECT_EQ(d.GetStatus(), COleDateTime::valid) << c.text;
            EXPECT_EQ(d.ToSqliteText(), QString::fromUtf8(c.stored)) << c.text;
        } else {
            EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << c.text;
        }
    }
    const QByteArray sqlite("2024-02-29 23:59:59");
    EXPECT_EQ(COleDateTime::FromSqliteText(sqlite.constData(), sqlite.size()),
              COleDateTime(2024, 2, 29, 23, 59, 59));
    const QByteArray bad("2023-02-29 23:59:59");
    EXPECT_EQ(COleDateTime::FromSqliteText(bad.constData(), bad.size()).GetStatus(),
              COleDateTime::invalid);
}

TEST(OleDateTime, ConvertsToAndFromQDateTime) {
    const QDateTime qt(QDate(2010, 3, 28), QTime(2, 30, 15));
    const COleDateTime d(qt);
    EXPECT_EQ(d, COleDateTime(2010, 3, 28, 2, 30, 15));
    EXPECT_EQ(d.ToQDateTime().date(), QDate(2010, 3, 28));
    EXPECT_EQ(d.ToQDateTime().time().second(), 15);
    EXPECT_EQ(COleDateTime(QDateTime()).GetStatus(), COleDateTime::invalid);
    EXPECT_FALSE(COleDateTime::Invalid().ToQDateTime().isValid());
    EXPECT_LT(COleDateTime(2004, 1, 2, 0, 0, 0), COleDateTime(2005, 12, 1, 0, 0, 0));
}

TEST(OleVariant, HoldsEachKindAndConvertsLoosely) {
    EXPECT_TRUE(COleVariant().IsEmpty());
    EXPECT_TRUE(COleVariant::MakeNull().IsNull());
    const COleVariant big(qint64(5) << 32);
    EXPECT_EQ(big.GetKind(), COleVariant::Long);
    EXPECT_EQ(big.GetLong(), 21474836480LL);
    EXPECT_EQ(COleVariant(2.5).GetKind(), COleVariant::Double);
    EXPECT_EQ(COleVariant(QStringLiteral(" 42 ")).GetLong(), 42);
    EXPECT_EQ(COleVariant(7).GetText(), QStringLiteral("7"));
    EXPECT_EQ(COleVariant(COleDateTime(2005, 12, 6, 14, 3, 0)).GetText(),
              QStringLiteral("2005-12-06 14:03:00"));
    EXPECT_EQ(COleVariant(QStringLiteral("12/06/05 14:03:00")).GetDate(),
              COleDateTime(2005, 12, 6, 14, 3, 0));
    EXPECT_EQ(COleVariant(12345).GetDate().GetStatus(), COleDateTime::invalid);
    EXPECT_TRUE(COleVariant(COleDateTime::Null()).IsNull());
    EXPECT_EQ(COleVariant::MakeNull().GetLong(), 0);
}
