#pragma once
// A document template: the document, frame and view classes that make one
// kind of window, under a resource identifier that names its menu, icon and
// document strings. It owns the documents it made.
#include "platform/framework/CmdTarget.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CDocument;
class CMDIChildWnd;
class CView;

class CMultiDocTemplate : public CCmdTarget {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    CMultiDocTemplate(UINT nIDResource, DocumentFactory document, FrameFactory frame,
                      ViewFactory view);
    ~CMultiDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    // The menu shown while one of this template's windows is active; 0 when the
    // template has none and the main frame's stays.
    UINT GetMenuID() const;
    // Document string k (0 window title, 1 document name, 2 new-file name, ...).
    QString GetDocString(int index) const;

    // A new document and window: empty when path is empty, else opened from
    // the file. Null when it could not be made or opened (already reported).
    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true);

    const std::vector<std::unique_ptr<CDocument>>& Documents() const { return m_documents; }
    CDocument* FindDocument(const QString& path) const;
    void CloseAllDocuments(bool endSession);
    void RemoveDocument(CDocument* document);

private:
    CMDIChildWnd* CreateNewFrame(CDocument* document);
    void SetDefaultTitle(CDocument* document);
    void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool makeVisible);

    UINT m_nIDResource;
    DocumentFactory m_documentFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    std::vector<std::unique_ptr<CDocument>> m_documents;
    int m_nUntitledCount = 0;
};
