#include "player/CLumarestDoc.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "catalogue/FileFacts.h"
#include "platform/dao/DaoException.h"
#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"
#include "platform/trace/StageMarks.h"
#include "player/CLumarestView.h"

#include <QDir>

CLumarestDoc::CLumarestDoc() {
    if (CMainFrame* frame = MainFrame())
        m_pCDao_PlayList = &frame->m_PlayList;
}

CLumarestDoc::~CLumarestDoc() = default;

void CLumarestDoc::FindPlayerView() {
    if (m_pCLumarestView)
        return;
    for (CView* view : GetViews())
        if (auto* player = dynamic_cast<CLumarestView*>(view))
            m_pCLumarestView = player;
}

void CLumarestDoc::StartPlayQueue() {
    if (m_arrPaths.isEmpty())
        return;
    FindPlayerView();
    // Running before the first entry plays: a refused first entry is passed over at the
    // next tick, while its box is still open.
    g_bQueuePlaying = true;
    if (m_pCLumarestView) {
        const QString path = m_arrPaths.front();
        m_pCLumarestView->SetFile(path);
        const std::wstring wide = path.toStdWString();
        m_pCLumarestView->Play(wide.c_str(), false);
    }
}

void CLumarestDoc::StartPlayQueue(const QStringList& paths, const std::vector<uint32_t>& lines,
                                  CListCtrl* list) {
    if (paths.isEmpty())
        return;
    m_arrLines = lines;
    m_arrPaths = paths;
    SetTitle(m_arrPaths.front());
    m_pCListCtrl = list;
    StartPlayQueue();
}

QString CLumarestDoc::ExtensionOf(const QString& name) {
    // Three-letter endings are the last three characters, as ever. Longer and
    // shorter ones (.flac, .webm, .opus, .ts) are taken whole: their last three
    // characters ("lac", ".ts") would match no file, not even the opened one.
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && dot + 1 < name.size()) {
        const QString ending = name.mid(dot + 1);
        if (ending.size() != 3)
            return ending;
    }
    return lumarest::catalogue::LastCharacters(name, 3);
}

QString CLumarestDoc::FolderOf(const QString& path, const QString& name) {
    return path.left(std::max<qsizetype>(0, path.size() - name.size() - 1));
}

void CLumarestDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        return;
    FindPlayerView();
    const QString name = ar.GetFile()->GetFileName();
    // The framework opens every document by its whole path, so the folder is in it.
    const QString path = QDir::toNativeSeparators(ar.GetFile()->GetFilePath());
    if (g_bImportOnOpen) {
        try {
            ImportMediaFiles(FolderOf(path, name), ExtensionOf(name));
        } catch (const CDaoException& e) {
            // What was added stays; the file plays all the same.
            AfxMessageBox(e.m_strDescription, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    trace::MarkStage("catalogue");
    if (!m_pCLumarestView)
        return;
    m_pCLumarestView->SetFile(path);
    const std::wstring wide = path.toStdWString();
    m_pCLumarestView->Play(wide.c_str(), false);
}
