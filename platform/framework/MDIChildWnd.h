#pragma once
// A child frame inside the main frame's MDI area, holding one view.
#include "platform/framework/CmdTarget.h"

#include <QMdiSubWindow>

class CView;
class CDocument;
class CMultiDocTemplate;

class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMDIChildWnd(QWidget* parent = nullptr);
    ~CMDIChildWnd() override;

    CView* GetActiveView() const { return m_pView; }
    CDocument* GetActiveDocument() const;
    CMultiDocTemplate* GetDocTemplate() const { return m_pTemplate; }

    // Moves and sizes the frame (outer size) in the MDI area's coordinates.
    void MoveWindow(int x, int y, int width, int height, bool repaint = true);

    // The active view, its document, then the frame itself.
    bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;

    virtual bool PreCreateWindow() { return true; }

private:
    friend class CMultiDocTemplate;
    CView* m_pView = nullptr;
    CMultiDocTemplate* m_pTemplate = nullptr;
};
