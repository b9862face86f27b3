#include "DaoTestSupport.h"

#include <QFile>
#include <sqlite3.h>

namespace daotest {

void CreateFilesTable(CDaoDatabase& db) {
    CDaoTableDef table(&db);
    table.Create(QStringLiteral("FILES"));
    table.CreateField(QStringLiteral("ID_Files"), dbLong, 4, dbAutoIncrField);
    table.CreateField(QStringLiteral("Name"), dbText, 150, 0);
    table.CreateField(QStringLiteral("Extention"), dbText, 10, 0);
    table.CreateField(QStringLiteral("Size"), dbLong, 4, 0);
    table.CreateField(QStringLiteral("DateCreated"), dbDate, 8, 0);
    table.CreateField(QStringLiteral("Directory"), dbText, 250, 0);
    CDaoIndexInfo index;
    index.m_strName = QStringLiteral("PrimaryKey");
    index.m_fields = {CDaoIndexFieldInfo{QStringLiteral("ID_Files"), false}};
    index.m_bPrimary = true;
    index.m_bUnique = true;
    index.m_bRequired = true;
    index.m_bIgnoreNulls = false;
    table.CreateIndex(index);
    table.Append();
}

qint64 AddRecord(CDaoDatabase& db, const QString& name, const QString& directory, qint64 size,
                 const QString& created) {
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
    rs.AddNew();
    rs.SetFieldValue(QStringLiteral("Name"), name);
    rs.SetFieldValue(QStringLiteral("Directory"), directory);
    rs.SetFieldValue(QStringLiteral("Extention"), name.right(3));
    rs.SetFieldValue(QStringLiteral("Size"), size);
    if (!created.isEmpty())
        rs.SetFieldValue(QStringLiteral("DateCreated"), created);
    rs.Update();
    return rs.GetLastModifiedKey();
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

QString QueryText(CDaoDatabase& db, const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.GetHandle(), utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return QStringLiteral("<error: %1>").arg(sqlite3_errmsg(db.GetHandle()));
    QString result = QStringLiteral("<none>");
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        result =
            sqlite3_column_type(stmt, 0) == SQLITE_NULL
                ? QStringLiteral("<null>")
                : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return result;
}

qint64 QueryInt(CDaoDatabase& db, const QString& sql) {
    return QueryText(db, sql).toLongLong();
}

void CatalogueTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("Lumarest.mdb"));
    m_db.Create(m_path, QString::fromLatin1(dbLangGeneral), 0);
    // Durability is not under test here; without a sync per write the tests run faster.
    m_db.Execute(QStringLiteral("PRAGMA synchronous=OFF"));
    CreateFilesTable(m_db);
}

} // namespace daotest
