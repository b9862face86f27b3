// The document's import of a folder into the catalogue, with a progress bar in
// the status bar, then the play list filled again.
#include "player/CLumarestDoc.h"

#include "catalogue/CDao_PlayList.h"
#include "catalogue/CImportTransaction.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/WaitCursor.h"
#include "platform/framework/WinApp.h"
#include "playlist/CListView_Table.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

// Removes the progress bar and clears the message pane on every way out of
// the import, an engine error included.
class ProgressEnd {
public:
    explicit ProgressEnd(CDao_PlayList& catalogue) : m_catalogue(catalogue) {}
    ~ProgressEnd() {
        m_catalogue.m_CProgressCtrl.DestroyWindow();
        if (CMDIFrameWnd* frame = AfxGetMainWnd())
            frame->SetMessageText(QString());
    }
    ProgressEnd(const ProgressEnd&) = delete;
    ProgressEnd& operator=(const ProgressEnd&) = delete;

private:
    CDao_PlayList& m_catalogue;
};

struct FileToAdd {
    QString folder; // without its last separator
    QString name;
};

void AddAll(CDao_PlayList& catalogue, const std::vector<FileToAdd>& files) {
    if (files.empty())
        return;
    CImportTransaction transaction(catalogue.RequireCatalogue());
    const qint64 n = static_cast<qint64>(files.size());
    for (qint64 i = 0; i < n; ++i) {
        // The bar takes every position and paints one a frame at most.
        catalogue.m_CProgressCtrl.SetPos(static_cast<int>(i * 100 / n));
        const FileToAdd& file = files[static_cast<size_t>(i)];
        catalogue.AddFile(file.folder, file.name);
        transaction.Checkpoint();
    }
    catalogue.m_CProgressCtrl.UpdateWindow(); // the last position is shown too
    transaction.Commit();
}

void RefillPlayList(CDao_PlayList& catalogue) {
    if (catalogue.m_pCListView_Table)
        catalogue.m_pCListView_Table->FillList();
}

void ImportFiles(CDao_PlayList& catalogue, const std::vector<FileToAdd>& files) {
    try {
        ProgressEnd progressEnd(catalogue);
        catalogue.StartProgress(QStringLiteral("Importing Media Files to Database: "));
        AddAll(catalogue, files);
    } catch (...) {
        // What was added before the error is committed; let the play list show it,
        // then pass the error on.
        try {
            RefillPlayList(catalogue);
        } catch (...) {
        }
        throw;
    }
    RefillPlayList(catalogue);
}

} // namespace

void CLumarestDoc::ImportMediaFiles(const QString& folder, const QString& extension) {
    if (!m_pCDao_PlayList)
        return;
    CWaitCursor wait; // one for the whole import: the wait cursors of AddFile nest in it
    QStringList names;
    m_pCDao_PlayList->ListFiles(folder, names, extension);
    std::vector<FileToAdd> files;
    for (const QString& name : names)
        files.push_back({folder, name});
    ImportFiles(*m_pCDao_PlayList, files);
}

void CLumarestDoc::ImportListedFiles(const QStringList& paths) {
    if (!m_pCDao_PlayList)
        return;
    CWaitCursor wait;
    std::vector<FileToAdd> files;
    for (const QString& path : paths) {
        // Folder and name parted as when the file itself is opened: the catalogue knows a
        // file by both, so one opened either way is catalogued once.
        const QString whole = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        const QString name = QFileInfo(path).fileName();
        files.push_back({FolderOf(whole, name), name});
    }
    ImportFiles(*m_pCDao_PlayList, files);
}
