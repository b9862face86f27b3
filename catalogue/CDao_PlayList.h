#pragma once
// The catalogue: the database file Lumarest.mdb with its one table FILES, the
// record operations behind the play-list lines, and the import of a folder's
// media files. One object per process, held by the main frame.
#include "platform/framework/ProgressCtrl.h"

#include <QString>
#include <QStringList>

#include <memory>

class CDaoDatabase;
class CDaoException;
class CDaoTableDef;
class CListCtrl;
class CListView_Table;

// "<path>: <reason>", the reason in the system's few words ("file is not a
// database", "database is locked", "permission denied").
QString CatalogueFaultText(const QString& path, const CDaoException& e);
QString CatalogueFaultText(const QString& path, const QString& reason);

class CDao_PlayList {
public:
    CDao_PlayList();
    ~CDao_PlayList();
    CDao_PlayList(const CDao_PlayList&) = delete;
    CDao_PlayList& operator=(const CDao_PlayList&) = delete;

    // The catalogue database and its FILES table.
    bool OpenCatalogue();
    bool OpenDatabase(const QString& path, bool create);
    bool CreateCatalogue();
    bool OpenTableDef(const QString& name, bool create);
    bool AddField(const QString& name, short type, long size, long attributes);
    // The open catalogue for an operation that needs it: opened again if it is not
    // (a lock held for a while by another program may have kept it shut). Throws
    // CDaoException naming the file and the reason when it cannot be opened.
    CDaoDatabase& RequireCatalogue();
    // Caption and progress bar in the message pane of the main window's status bar.
    void StartProgress(const QString& caption);

    // Records behind play-list lines.
    int CountRecords(const QString& table);
    void DeleteAllLines(CListCtrl& list, const QString& table, const QString& keyField);
    void DeleteSelectedLines(CListCtrl& list, const QString& table, const QString& keyField);

    // Import of media files.
    int ListFiles(const QString& folder, QStringList& names, const QString& extension);
    bool AddFile(const QString& folder, const QString& name);

    QString m_strBuffer;
    QString m_strDirExe;
    CListView_Table* m_pCListView_Table = nullptr;
    std::unique_ptr<CDaoDatabase> m_pCDaoDatabase;
    std::unique_ptr<CDaoTableDef> m_pCDaoTableDef;
    CProgressCtrl m_CProgressCtrl;
    // Why the catalogue last failed to open, as "<path>: <reason>"; empty when open.
    QString m_strFault;

    static constexpr const char* kFileName = "Lumarest.mdb";

private:
    void EnsureLookupIndex();
    bool BuildSchema();
    bool CompleteUnfinishedCatalogue(const QString& path);
    void NoteFault(const QString& path, const CDaoException& e);
    void CloseCatalogue();
};
