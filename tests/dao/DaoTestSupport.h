#pragma once
// A catalogue database with the FILES table, made through the layer itself in a
// temporary folder, and raw SQLite reads to check what was really stored.
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/dao/DaoTableDef.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace daotest {

// ID_Files auto-increment long, Name text 150, Extention text 10, Size long,
// DateCreated date, Directory text 250, and the unique index "PrimaryKey".
void CreateFilesTable(CDaoDatabase& db);

// Adds one record through AddNew/SetFieldValue/Update; returns its key.
qint64 AddRecord(CDaoDatabase& db, const QString& name, const QString& directory, qint64 size = 0,
                 const QString& created = QString());

QByteArray ReadBytes(const QString& path);
// The first column of the first row, as text ("<null>" for NULL, "<none>" for no row).
QString QueryText(CDaoDatabase& db, const QString& sql);
qint64 QueryInt(CDaoDatabase& db, const QString& sql);

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override;

    QTemporaryDir m_dir;
    QString m_path;
    CDaoDatabase m_db;
};

} // namespace daotest
