#pragma once
// The main frame: one top-level window with an MDI area, a menu bar built from
// the menu of the active window's template, a toolbar, a status bar, and the
// command route that starts at the active child window.
#include "platform/framework/CmdTarget.h"

#include <QMainWindow>
#include <QPointer>

#include <vector>

class QMdiArea;
class QMenu;
class QToolBar;
class CMDIChildWnd;
class CStatusBar;
struct MenuItemDef;

class CMDIFrameWnd : public QMainWindow, public CCmdTarget {
    Q_OBJECT
public:
    explicit CMDIFrameWnd(QWidget* parent = nullptr);
    ~CMDIFrameWnd() override;

    // Caption, menu, accelerators and icon from the resources, then OnCreate.
    bool LoadFrame(UINT nIDResource);

    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    CMDIChildWnd* MDIGetActive() const;
    std::vector<CMDIChildWnd*> ChildFrames() const;
    // Places a new child frame, its view already in it, in the MDI area.
    void AddChildFrame(CMDIChildWnd* frame);

    // The message pane's text (pane 0 of the status bar).
    void SetMessageText(const QString& text);
    virtual CStatusBar* GetMessageBar() const { return nullptr; }

    // Runs a command along the route if some target there handles it and has
    // not disabled it. True when it ran.
    bool SendCommand(UINT nID);
    // The state the command's elements should show; m_bEnabled false when no
    // target on the route handles it.
    CCmdUI QueryCommand(UINT nID);
    // Route: the active child frame (its view and document first), this frame, the application.
    bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;

    // Brings the toolbar buttons and accelerators up to date with the route.
    void UpdateCommandStates();
    // The same once the events now waiting have been handled: what the user did, and what a
    // view says changed, is followed without looking again at rest.
    void ScheduleCommandUpdate();
    void OnUpdateFrameTitle();
    void OnUpdateFrameMenu();
    UINT CurrentMenuID() const { return m_nCurrentMenu; }
    QMenu* FindPopup(const QString& title) const;

signals:
    void childFrameAdded(CMDIChildWnd* frame);

protected:
    virtual int OnCreate() { return 0; }
    virtual void OnSize(unsigned type, int cx, int cy);
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Adds a toolbar built from a toolbar resource; its buttons send commands.
    QToolBar* CreateToolBar(UINT nIDResource);
    void HelpFinder();

private:
    void TellViewsArranged();
    void BuildMenuBar(UINT menuId);
    void FillMenu(QMenu* menu, const std::vector<MenuItemDef>& items);
    void UpdateMenu(QMenu* menu);
    void FillRecentFiles(QMenu* menu, QAction* placeholder);
    void FillCommandList(QMenu* menu, QAction* placeholder, const std::vector<CCmdUI::Item>& items);
    void FillWindowList(QMenu* menu);
    void InstallAccelerators(UINT nIDResource);
    void ReturnFocusFromMenuBar();
    void RegisterFrameCommands();

    QMdiArea* m_pMdiArea = nullptr;
    UINT m_nIDResource = 0;
    UINT m_nCurrentMenu = 0;
    QString m_strAppTitle;
    std::vector<QAction*> m_accelerators;
    std::vector<QToolBar*> m_toolBars;
    bool m_bUpdatePending = false;
    // Where the keyboard was when the menu bar took it.
    QPointer<QWidget> m_focusBeforeMenu;
};
