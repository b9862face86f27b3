#include "platform/framework/DocTemplate.h"

#include "platform/framework/Document.h"
#include "platform/framework/Locations.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/Resources.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"

#include <QMdiArea>
#include <QPointer>

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, DocumentFactory document, FrameFactory frame,
                                     ViewFactory view)
    : m_nIDResource(nIDResource), m_documentFactory(std::move(document)),
      m_frameFactory(std::move(frame)), m_viewFactory(std::move(view)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    CloseAllDocuments(true);
}

UINT CMultiDocTemplate::GetMenuID() const {
    return AfxResources().FindMenu(m_nIDResource) ? m_nIDResource : 0;
}

QString CMultiDocTemplate::GetDocString(int index) const {
    return AfxResources().LoadString(m_nIDResource).section(QLatin1Char('\n'), index, index);
}

CDocument* CMultiDocTemplate::FindDocument(const QString& path) const {
    const QString wanted = AfxFullPath(path);
    for (const auto& doc : m_documents)
        if (!doc->GetPathName().isEmpty() && doc->GetPathName() == wanted)
            return doc.get();
    return nullptr;
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& pathAsGiven, bool makeVisible) {
    // A document always knows its file by its whole path, however it was named.
    const QString path = AfxFullPath(pathAsGiven);
    std::unique_ptr<CDocument> owned = m_documentFactory ? m_documentFactory() : nullptr;
    if (!owned)
        return nullptr;
    CDocument* document = owned.get();
    document->m_pDocTemplate = this;
    m_documents.push_back(std::move(owned));

    QPointer<CMDIChildWnd> frame = CreateNewFrame(document);
    if (!frame) {
        RemoveDocument(document);
        return nullptr;
    }
    bool ok;
    if (path.isEmpty()) {
        SetDefaultTitle(document);
        ok = document->OnNewDocument();
    } else {
        ok = document->OnOpenDocument(path);
    }
    if (!ok) {
        delete frame.data(); // takes the view and with it the document
        return nullptr;
    }
    if (!path.isEmpty())
        document->SetPathName(path);
    if (frame)
        InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

CMDIChildWnd* CMultiDocTemplate::CreateNewFrame(CDocument* document) {
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pMainWnd || !m_frameFactory || !m_viewFactory)
        return nullptr;
    CMDIChildWnd* frame = m_frameFactory();
    if (!frame || !frame->PreCreateWindow()) {
        delete frame;
        return nullptr;
    }
    frame->m_pTemplate = this;
    CView* view = m_viewFactory();
    if (!view) {
        delete frame;
        return nullptr;
    }
    frame->setWidget(view);
    frame->m_pView = view;
    document->AddView(view);
    frame->setWindowIcon(AfxResources().LoadIcon(m_nIDResource));
    app->m_pMainWnd->AddChildFrame(frame);
    frame->hide();
    return frame;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* document) {
    document->SetTitle(GetDocString(1) + QString::number(++m_nUntitledCount));
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document,
                                           bool makeVisible) {
    (void)document;
    QPointer<CMDIChildWnd> guard(frame);
    if (CView* view = frame->GetActiveView())
        view->OnInitialUpdate();
    if (!guard)
        return;
    if (makeVisible) {
        frame->show();
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd)
            app->m_pMainWnd->GetMdiArea()->setActiveSubWindow(frame);
        if (CView* view = frame->GetActiveView())
            view->setFocus(Qt::OtherFocusReason);
    }
}

void CMultiDocTemplate::CloseAllDocuments(bool /*endSession*/) {
    while (!m_documents.empty()) {
        const size_t before = m_documents.size();
        m_documents.back()->OnCloseDocument();
        if (m_documents.size() == before) // a document without views
            m_documents.pop_back();
    }
}

void CMultiDocTemplate::RemoveDocument(CDocument* document) {
    for (auto it = m_documents.begin(); it != m_documents.end(); ++it) {
        if (it->get() == document) {
            std::unique_ptr<CDocument> doomed = std::move(*it);
            m_documents.erase(it);
            return; // deleted here
        }
    }
}
