#pragma once
// Helpers of the import tests: files with any name, a catalogue without the
// program, the FILES rows read straight from SQLite, and a watch on the
// progress bars that the import shows.
#include "catalogue/CDao_PlayList.h"
#include "platform/framework/WinApp.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <vector>

struct sqlite3;

namespace importtest {

// Writes a file of the given bytes; the name may hold any character.
QString makeFile(const QString& dir, const QString& name, const QByteArray& bytes = "data");
// Makes count files "<stem>NNNNN.<extension>" of a few bytes each.
void makeFiles(const QString& dir, const QString& stem, const QString& extension, int count);

// One row of FILES as SQLite holds it.
struct Row {
    qint64 id = 0;
    QString name;
    QString extension;
    std::optional<qint64> size;
    std::optional<QString> date; // "YYYY-MM-DD HH:MM:SS"
    QString directory;
};
std::vector<Row> readRows(sqlite3* db);
// The row of that name and folder; a failed expectation when there is none.
std::optional<Row> findRow(const std::vector<Row>& rows, const QString& directory,
                           const QString& name);
qint64 countRows(sqlite3* db);
// The single text of a statement's first row ("ok" for a sound integrity check).
QString queryText(sqlite3* db, const char* sql);

// The catalogue without the program: Lumarest.mdb created in a temporary folder
// named by the profile, as the main frame would.
class BareCatalogue {
    // Declared first: the folder and the profile outlive the catalogue.
    QTemporaryDir m_dir;
    CWinApp m_app;

public:
    BareCatalogue();
    ~BareCatalogue();
    BareCatalogue(const BareCatalogue&) = delete;
    BareCatalogue& operator=(const BareCatalogue&) = delete;

    QString dir() const { return m_dir.path(); }
    sqlite3* handle() const;

    CDao_PlayList catalogue;
};

// Watches every progress bar that is made while it lives: calls onChange with
// the bar's new position each time the position changes, and counts the times
// a bar is painted.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(std::function<void(int)> onChange);
    ~ProgressWatch() override;
    std::vector<int> positions;
    int paints = 0;
    std::vector<qint64> paintTimes; // milliseconds since the watch began

protected:
    QElapsedTimer m_clock;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(int)> m_onChange;
};

} // namespace importtest
