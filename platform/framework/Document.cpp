#include "platform/framework/Document.h"

#include "platform/framework/BusyWait.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Locations.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"

#include <QPointer>

CDocument::CDocument() {
    OnCommand(ID_FILE_CLOSE, [this] { OnCloseDocument(); });
    OnCommand(ID_FILE_SAVE, [this] {
        if (!m_strPathName.isEmpty())
            OnSaveDocument(m_strPathName);
    });
}

CDocument::~CDocument() = default;

void CDocument::SetTitle(const QString& title) {
    m_strTitle = title;
    UpdateFrameTitles();
}

void CDocument::SetPathName(const QString& path, bool addToMRU) {
    m_strPathName = AfxFullPath(path);
    SetTitle(AfxDisplayName(m_strPathName));
    if (addToMRU)
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* view) {
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    std::erase(m_views, view);
    view->m_pDocument = nullptr;
    if (m_views.empty() && m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this); // deletes this document
}

bool CDocument::OnNewDocument() {
    m_strPathName.clear();
    m_bModified = false;
    return true;
}

bool CDocument::OnOpenDocument(const QString& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) {
        AfxMessageBox(QStringLiteral("Cannot open the file \"%1\".").arg(path),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_bModified = true; // while reading, as the framework marks it
    if (file.GetLength() != 0) {
        CArchive archive(&file, CArchive::load);
        Serialize(archive);
    }
    file.Close();
    m_bModified = false;
    return true;
}

bool CDocument::OnSaveDocument(const QString&) {
    return false;
}

void CDocument::Serialize(CArchive&) {}

void CDocument::OnCloseDocument() {
    if (m_bClosing)
        return;
    // A view of this document may be inside the wait: its windows go once it is over.
    if (CMDIChildWnd* frame = m_views.empty() ? nullptr : m_views.front()->GetParentFrame();
        frame && CBusyWait::Active()) {
        CBusyWait::WhenDone(frame, [frame] {
            if (CDocument* document = frame->GetActiveDocument())
                document->OnCloseDocument();
        });
        return;
    }
    m_bClosing = true;
    std::vector<QPointer<CMDIChildWnd>> frames;
    for (CView* view : m_views)
        frames.emplace_back(view->GetParentFrame());
    // Deleting the last frame deletes this document: touch no member after it.
    for (auto& frame : frames)
        delete frame.data();
}

bool CDocument::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    return DispatchOwn(nID, pCmdUI);
}

void CDocument::UpdateFrameTitles() {
    for (CView* view : m_views)
        if (CMDIChildWnd* frame = view->GetParentFrame())
            frame->setWindowTitle(m_strTitle);
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd)
        app->m_pMainWnd->OnUpdateFrameTitle();
}
