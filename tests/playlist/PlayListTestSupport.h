#pragma once
// Records written into a real catalogue through the data-access layer, and
// play-list windows opened as the user opens them.
#include "platform/dao/OleDateTime.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class AppHarness;
class CDaoDatabase;
class CListCtrl;
class CListView_Table;

namespace pltest {

struct FileRow {
    QString name;
    QString ext;
    std::optional<qint64> size = 0; // nullopt: Null
    std::optional<COleDateTime> created = COleDateTime(2005, 12, 6, 14, 3, 0);
    QString dir = QStringLiteral("/media");
};

// Adds the record; returns its ID_Files.
qint64 AddRecord(CDaoDatabase& db, const FileRow& row);
// Adds the records in one transaction.
void AddRecords(CDaoDatabase& db, const std::vector<FileRow>& rows);
qint64 CountFiles(CDaoDatabase& db);
bool RecordExists(CDaoDatabase& db, qint64 key);

// "View/Play List" as the user chooses it; returns the new window's view.
CListView_Table* OpenPlayList(AppHarness& h);
// Closes the play-list window of the view and lets its deletion happen.
void ClosePlayList(CListView_Table* view);

// The texts of one column, top to bottom.
QStringList ColumnTexts(const CListCtrl& list, int column);
std::vector<int> SelectedLines(const CListCtrl& list);

} // namespace pltest
