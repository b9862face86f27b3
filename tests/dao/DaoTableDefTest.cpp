// Building tables through CDaoTableDef: the FILES schema as SQLite stores it.
#include "DaoTestSupport.h"

#include <sqlite3.h>

using namespace daotest;

namespace {

struct Column {
    QString name;
    QString type;
    int primaryKey;
};

std::vector<Column> TableInfo(CDaoDatabase& db, const char* table) {
    std::vector<Column> columns;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = QByteArray("PRAGMA table_info(") + table + ")";
    EXPECT_EQ(sqlite3_prepare_v2(db.GetHandle(), sql.constData(), -1, &stmt, nullptr), SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        columns.push_back(
            {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))),
             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2))),
             sqlite3_column_int(stmt, 5)});
    }
    sqlite3_finalize(stmt);
    return columns;
}

} // namespace

class DaoTableDef : public CatalogueTest {};

TEST_F(DaoTableDef, FilesTableHasItsSixFieldsInCreationOrder) {
    const std::vector<Column> columns = TableInfo(m_db, "FILES");
    ASSERT_EQ(columns.size(), 6u);
    const QStringList names{"ID_Files", "Name", "Extention", "Size", "DateCreated", "Directory"};
    const QStringList types{"INTEGER", "VARCHAR(150)", "VARCHAR(10)",
                            "INTEGER", "DATETIME",     "VARCHAR(250)"};
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].name, names[static_cast<qsizetype>(i)]);
        EXPECT_EQ(columns[i].type, types[static_cast<qsizetype>(i)]);
        EXPECT_EQ(columns[i].primaryKey, i == 0 ? 1 : 0);
    }
    const QString sql =
        QueryText(m_db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name='FILES'"));
    EXPECT_TRUE(sql.contains(QStringLiteral("AUTOINCREMENT"))) << sql.toStdString();
}

TEST_F(DaoTableDef, PrimaryKeyIndexExistsUnderItsNameAndIsUnique) {
    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE "
                                             "type='index' AND name='PrimaryKey'")),
              QStringLiteral("FILES"));
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT \"unique\" FROM pragma_index_list('FILES') "
                                            "WHERE name='PrimaryKey'")),
              1);
    EXPECT_EQ(QueryText(m_db, QStringLiteral("SELECT name FROM pragma_index_info('PrimaryKey')")),
              QStringLiteral("ID_Files"));
}

TEST_F(DaoTableDef, OpenFindsExistingTablesOnly) {
    CDaoTableDef table(&m_db);
    table.Open(QStringLiteral("files"));
    EXPECT_TRUE(table.IsOpen());
    EXPECT_EQ(table.GetName(), QStringLiteral("FILES"));
    EXPECT_EQ(table.GetFieldCount(), 6);
    table.Close();
    EXPECT_FALSE(table.IsOpen());
    EXPECT_THROW(table.Open(QStringLiteral("NOFILES")), CDaoException);
    EXPECT_FALSE(table.IsOpen());
}

TEST_F(DaoTableDef, AppendOfAnExistingTableFailsWithADescription) {
    CDaoTableDef table(&m_db);
    table.Create(QStringLiteral("FILES"));
    table.CreateField(QStringLiteral("X"), dbLong, 4, 0);
    try {
        table.Append();
        FAIL() << "a second FILES table was appended";
    } catch (const CDaoException& e) {
        EXPECT_TRUE(e.m_strDescription.contains(QStringLiteral("already exists")))
            << e.m_strDescription.toStdString();
    }
    EXPECT_EQ(TableInfo(m_db, "FILES").size(), 6u);
}

TEST_F(DaoTableDef, AFailingIndexLeavesNoHalfMadeTable) {
    CDaoTableDef table(&m_db);
    table.Create(QStringLiteral("OTHER"));
    table.CreateField(QStringLiteral("A"), dbText, 20, 0);
    CDaoIndexInfo index;
    index.m_strName = QStringLiteral("ByMissing");
    index.m_fields = {CDaoIndexFieldInfo{QStringLiteral("NoSuchField"), false}};
    table.CreateIndex(index);
    EXPECT_THROW(table.Append(), CDaoException);
    EXPECT_EQ(QueryInt(m_db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                            "name='OTHER'")),
              0);
}

TEST_F(DaoTableDef, FieldDefinitionsAreChecked) {
    CDaoTableDef table(&m_db);
    EXPECT_THROW(table.CreateField(QStringLiteral("A"), dbLong, 4, 0),
                 CDaoException); // not created
    table.Create(QStringLiteral("T2"));
    table.CreateField(QStringLiteral("A"), dbLong, 4, dbAutoIncrField);
    EXPECT_THROW(table.CreateField(QStringLiteral("a"), dbText, 10, 0), CDaoException);
    EXPECT_THROW(table.CreateField(QStringLiteral("B"), dbLong, 4, dbAutoIncrField), CDaoException);
    EXPECT_THROW(table.CreateField(QStringLiteral("C"), dbText, 10, dbAutoIncrField),
                 CDaoException);
    EXPECT_THROW(table.CreateField(QStringLiteral("D"), 99, 4, 0), CDaoException);
    table.CreateField(QStringLiteral("E"), dbDate, 8, 0);
    table.Append();
    EXPECT_EQ(TableInfo(m_db, "T2").size(), 2u);

    // Fields added to an existing table go in at once.
    CDaoTableDef existing(&m_db);
    existing.Open(QStringLiteral("T2"));
    existing.CreateField(QStringLiteral("F"), dbText, 30, 0);
    const std::vector<Column> columns = TableInfo(m_db, "T2");
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[2].type, QStringLiteral("VARCHAR(30)"));
}
