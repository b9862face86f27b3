#pragma once
// A document: what a window shows, with a title, an optional path and the
// views that show it. It belongs to the template that made it and is deleted
// when its last view goes.
#include "platform/framework/CmdTarget.h"
#include "platform/framework/File.h"

#include <QString>

#include <vector>

class CView;
class CMultiDocTemplate;

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Records the path, titles the document with the file's display name and
    // adds the path to the recent-file list.
    virtual void SetPathName(const QString& path, bool addToMRU = true);

    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    const std::vector<CView*>& GetViews() const { return m_views; }
    void AddView(CView* view);
    void RemoveView(CView* view);

    virtual bool OnNewDocument();
    // Opens the file for reading and, unless it is empty, hands it to Serialize.
    virtual bool OnOpenDocument(const QString& path);
    // Documents of this program store nothing: saving never writes the file.
    virtual bool OnSaveDocument(const QString& path);
    virtual void Serialize(CArchive& ar);
    // Closes every window of the document, which deletes it.
    virtual void OnCloseDocument();

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;

private:
    friend class CMultiDocTemplate;
    void UpdateFrameTitles();

    QString m_strTitle;
    QString m_strPathName;
    CMultiDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_views;
    bool m_bModified = false;
    bool m_bClosing = false;
};
