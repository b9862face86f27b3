#pragma once
// The main frame: menus, toolbar, status bar, the MDI area with the player and
// play-list windows, and the catalogue, which lives exactly as long as it does.
#include "catalogue/CDao_PlayList.h"
#include "platform/framework/MDIFrameWnd.h"

class CStatusBar;
class QToolBar;

class CMainFrame : public CMDIFrameWnd {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    CStatusBar* GetMessageBar() const override { return m_wndStatusBar; }

    void OnViewPlayList();
    void OnViewParameters();
    void OnWindowCloseAll();

    CDao_PlayList m_PlayList;
    CStatusBar* m_wndStatusBar = nullptr; // child of the frame
    QToolBar* m_wndToolBar = nullptr;     // child of the frame

protected:
    int OnCreate() override;
    void OnSize(unsigned type, int cx, int cy) override;
};

// The main frame of this process, or null before it exists.
CMainFrame* MainFrame();
