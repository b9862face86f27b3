#include "ImportFixtures.h"

#include "platform/dao/DaoDatabase.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QProgressBar>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace importtest {

QString makeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

void makeFiles(const QString& dir, const QString& stem, const QString& extension, int count) {
    for (int i = 0; i < count; ++i)
        makeFile(dir,
                 QStringLiteral("%1%2.%3").arg(stem).arg(i, 5, 10, QLatin1Char('0')).arg(extension),
                 QByteArray::number(i));
}

namespace {
QString columnText(sqlite3_stmt* stmt, int column) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
}
} // namespace

std::vector<Row> readRows(sqlite3* db) {
    std::vector<Row> rows;
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(
        db, "SELECT ID_Files, Name, Extention, Size, DateCreated, Directory FROM FILES ORDER BY 1",
        -1, &stmt, nullptr);
    EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db);
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        Row row;
        row.id = sqlite3_column_int64(stmt, 0);
        row.name = columnText(stmt, 1);
        row.extension = columnText(stmt, 2);
        if (sqlite3_column_type(stmt, 3) != SQLITE_NULL)
            row.size = sqlite3_column_int64(stmt, 3);
        if (sqlite3_column_type(stmt, 4) != SQLITE_NULL)
            row.date = columnText(stmt, 4);
        row.directory = columnText(stmt, 5);
        rows.push_back(row);
    }
    sqlite3_finalize(stmt);
    return rows;
}

std::optional<Row> findRow(const std::vector<Row>& rows, const QString& directory,
                           const QString& name) {
    for (const Row& row : rows)
        if (row.directory == directory && row.name == name)
            return row;
    ADD_FAILURE() << "no record for " << name.toStdString() << " in " << directory.toStdString();
    return std::nullopt;
}

QString queryText(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    QString text;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        text = columnText(stmt, 0);
    sqlite3_finalize(stmt);
    return text;
}

qint64 countRows(sqlite3* db) {
    return queryText(db, "SELECT count(*) FROM FILES").toLongLong();
}

BareCatalogue::BareCatalogue() : m_app(QStringLiteral("Lumarest")) {
    m_app.SetRegistryKey(QStringLiteral("Orvenhal"));
    m_app.WriteProfileString(QStringLiteral("Directories"), QStringLiteral("Dir_exe"),
                             m_dir.path());
    EXPECT_TRUE(catalogue.OpenCatalogue());
}

BareCatalogue::~BareCatalogue() = default;

sqlite3* BareCatalogue::handle() const {
    return catalogue.m_pCDaoDatabase->GetHandle();
}

ProgressWatch::ProgressWatch(std::function<void(int)> onChange) : m_onChange(std::move(onChange)) {
    m_clock.start();
    QCoreApplication::instance()->installEventFilter(this);
}

ProgressWatch::~ProgressWatch() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool ProgressWatch::eventFilter(QObject* watched, QEvent* event) {
    // A bar is polished once, fully made, as it is first shown: the moment to listen.
    if (event->type() == QEvent::Paint && qobject_cast<QProgressBar*>(watched)) {
        ++paints;
        paintTimes.push_back(m_clock.elapsed());
    }
    if (event->type() == QEvent::Polish)
        if (auto* bar = qobject_cast<QProgressBar*>(watched))
            connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
                positions.push_back(value);
                if (m_onChange)
                    m_onChange(value);
            });
    return QObject::eventFilter(watched, event);
}

} // namespace importtest
