// File/Open of a play-list file: its files catalogued and played as a queue.
#include "app/CLumarestApp.h"

#include "app/SharedState.h"
#include "platform/dao/DaoException.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Locations.h"
#include "platform/framework/MessageBox.h"
#include "player/CLumarestDoc.h"
#include "playlist/PlayListFiles.h"

CDocument* CLumarestApp::OpenDocumentFile(const QString& path) {
    // A file: URL names its local file; a stream is played, not read as a file.
    const QString location = AfxFullPath(path);
    if (AfxIsStreamUrl(location))
        return OpenStream(location);
    // Routed before the media open: a list is never played or catalogued as a medium.
    if (playlist::IsPlayListFile(location))
        return OpenPlayListFile(location);
    return CWinApp::OpenDocumentFile(location);
}

CDocument* CLumarestApp::OpenPlayListFile(const QString& path) {
    const playlist::PlayListRead read = playlist::ReadPlayListFile(path);
    if (!read.fault.isEmpty()) {
        AfxMessageBox(QStringLiteral("Cannot open %1: %2").arg(path, read.fault),
                      MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    if (read.missing > 0)
        AfxMessageBox(playlist::MissingFilesText(read.missing), MB_OK | MB_ICONEXCLAMATION);
    else if (read.files.isEmpty())
        AfxMessageBox(QStringLiteral("%1 lists no files.").arg(path), MB_OK | MB_ICONEXCLAMATION);
    if (read.files.isEmpty() || !m_pPlayerTemplate)
        return nullptr;
    auto* doc = dynamic_cast<CLumarestDoc*>(m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    if (!doc)
        return nullptr;
    if (g_bImportOnOpen) {
        try {
            doc->ImportListedFiles(read.files);
        } catch (const CDaoException& e) {
            // What was added stays; the files play all the same.
            AfxMessageBox(e.m_strDescription, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    doc->StartPlayQueue(read.files, {}, nullptr);
    AddToRecentFileList(path);
    return doc;
}
