#include "platform/framework/MDIFrameWnd.h"

#include "platform/framework/BusyWait.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/HelpWindow.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/Resources.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/View.h"
#include "platform/framework/WinApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include <utility>

namespace {
constexpr const char* kCommandProperty = "lumarestCommand";
constexpr const char* kDynamicProperty = "lumarestDynamic";

UINT CommandOf(const QAction* action) {
    return action->property(kCommandProperty).toUInt();
}
} // namespace

CMDIFrameWnd::CMDIFrameWnd(QWidget* parent) : QMainWindow(parent) {
    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this] {
        OnUpdateFrameMenu();
        OnUpdateFrameTitle();
        UpdateCommandStates();
    });
    // Toolbar buttons follow the command route after whatever may have changed it.
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        const auto isMenu = [](const QWidget* w) {
            return w->inherits("QMenu") || w->inherits("QMenuBar");
        };
        if (now && old && now->inherits("QMenuBar") && now->window() == this && !isMenu(old))
            m_focusBeforeMenu = old;
    });
    RegisterFrameCommands();
}

// Qt leaves the menu bar holding the keyboard, its title lit, after Escape closes one of its
// menus. A user who closed the menu is done with it: the keyboard goes back to the window it
// came from, as after a command. Moving on to the next menu (Left, Right) keeps a popup open.
void CMDIFrameWnd::ReturnFocusFromMenuBar() {
    QWidget* bar = menuWidget();
    if (!bar || QApplication::focusWidget() != bar || QApplication::activePopupWidget())
        return;
    if (m_focusBeforeMenu && m_focusBeforeMenu->isVisible())
        m_focusBeforeMenu->setFocus(Qt::MenuBarFocusReason);
    else if (QMdiSubWindow* child = m_pMdiArea->activeSubWindow())
        child->widget()->setFocus(Qt::MenuBarFocusReason);
}

CMDIFrameWnd::~CMDIFrameWnd() = default;

void CMDIFrameWnd::RegisterFrameCommands() {
    OnCommand(ID_VIEW_TOOLBAR, [this] {
        for (QToolBar* bar : m_toolBars)
            bar->setVisible(!bar->isVisible());
    });
    OnUpdateCommandUI(ID_VIEW_TOOLBAR, [this](CCmdUI* ui) {
        ui->SetCheck(!m_toolBars.empty() && m_toolBars.front()->isVisible());
    });
    OnCommand(ID_VIEW_STATUS_BAR, [this] {
        if (QStatusBar* bar = statusBar())
            bar->setVisible(!bar->isVisible());
    });
    OnUpdateCommandUI(ID_VIEW_STATUS_BAR, [this](CCmdUI* ui) {
        ui->SetCheck(GetMessageBar() && GetMessageBar()->isVisible());
    });
    OnCommand(ID_WINDOW_CASCADE, [this] {
        m_pMdiArea->cascadeSubWindows();
        TellViewsArranged();
    });
    OnCommand(ID_WINDOW_TILE_HORZ, [this] {
        m_pMdiArea->tileSubWindows();
        TellViewsArranged();
    });
    OnCommand(ID_WINDOW_ARRANGE, [this] {
        // Minimised windows go to the bottom edge of the area, one beside the other.
        int x = 0;
        for (CMDIChildWnd* frame : ChildFrames()) {
            if (frame->isMinimized()) {
                frame->move(x, m_pMdiArea->viewport()->height() - frame->height());
                x += frame->width();
            }
        }
    });
}

bool CMDIFrameWnd::LoadFrame(UINT nIDResource) {
    m_nIDResource = nIDResource;
    m_strAppTitle = AfxResources().LoadString(nIDResource);
    setWindowTitle(m_strAppTitle);
    setWindowIcon(AfxResources().LoadIcon(nIDResource));
    BuildMenuBar(nIDResource);
    InstallAccelerators(nIDResource);
    if (OnCreate() == -1)
        return false;
    OnUpdateFrameTitle();
    return true;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
    return dynamic_cast<CMDIChildWnd*>(m_pMdiArea->currentSubWindow());
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::ChildFrames() const {
    std::vector<CMDIChildWnd*> frames;
    for (QMdiSubWindow* w : m_pMdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = dynamic_cast<CMDIChildWnd*>(w))
            frames.push_back(frame);
    return frames;
}

void CMDIFrameWnd::AddChildFrame(CMDIChildWnd* frame) {
    m_pMdiArea->addSubWindow(frame);
    if (CView* view = frame->GetActiveView())
        connect(view, &CView::commandStatesChanged, this, &CMDIFrameWnd::ScheduleCommandUpdate);
    emit childFrameAdded(frame);
}

void CMDIFrameWnd::SetMessageText(const QString& text) {
    if (CStatusBar* bar = GetMessageBar())
        bar->SetPaneText(0, text, true);
}

bool CMDIFrameWnd::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(nID, pCmdUI))
        return true;
    if (DispatchOwn(nID, pCmdUI))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, pCmdUI);
}

CCmdUI CMDIFrameWnd::QueryCommand(UINT nID) {
    CCmdUI ui(nID);
    if (!OnCmdMsg(nID, &ui))
        ui.m_bEnabled = false;
    return ui;
}

bool CMDIFrameWnd::SendCommand(UINT nID) {
    if (!QueryCommand(nID).m_bEnabled)
        return false;
    OnCmdMsg(nID, nullptr);
    ScheduleCommandUpdate();
    return true;
}

void CMDIFrameWnd::ScheduleCommandUpdate() {
    if (std::exchange(m_bUpdatePending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        m_bUpdatePending = false;
        UpdateCommandStates();
    });
}

void CMDIFrameWnd::UpdateCommandStates() {
    for (QToolBar* bar : m_toolBars) {
        for (QAction* action : bar->actions()) {
            if (UINT id = CommandOf(action)) {
                const CCmdUI ui = QueryCommand(id);
                action->setEnabled(ui.m_bEnabled);
                action->setCheckable(ui.m_nCheck >= 0);
                action->setChecked(ui.m_nCheck > 0);
            }
        }
    }
}

void CMDIFrameWnd::OnUpdateFrameTitle() {
    QString title = m_strAppTitle;
    if (CMDIChildWnd* child = MDIGetActive())
        if (CDocument* doc = child->GetActiveDocument())
            title += QStringLiteral(" - ") + doc->GetTitle();
    setWindowTitle(title);
}

void CMDIFrameWnd::OnUpdateFrameMenu() {
    UINT menu = m_nIDResource;
    if (CMDIChildWnd* child = MDIGetActive())
        if (child->GetDocTemplate() && child->GetDocTemplate()->GetMenuID())
            menu = child->GetDocTemplate()->GetMenuID();
    if (menu != m_nCurrentMenu)
        BuildMenuBar(menu);
}

QMenu* CMDIFrameWnd::FindPopup(const QString& title) const {
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->text() == title)
            return action->menu();
    return nullptr;
}

void CMDIFrameWnd::BuildMenuBar(UINT menuId) {
    const MenuDef* def = AfxResources().FindMenu(menuId);
    m_nCurrentMenu = menuId;
    menuBar()->clear();
    if (!def)
        return;
    for (const MenuItemDef& popup : def->popups) {
        QMenu* menu = menuBar()->addMenu(popup.text);
        FillMenu(menu, popup.items);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
        connect(menu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, &CMDIFrameWnd::ReturnFocusFromMenuBar); });
    }
}

void CMDIFrameWnd::FillMenu(QMenu* menu, const std::vector<MenuItemDef>& items) {
    for (const MenuItemDef& item : items) {
        switch (item.kind) {
        case MenuItemDef::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuItemDef::Kind::WindowList:
            menu->setProperty("windowList", true);
            break;
        case MenuItemDef::Kind::Popup: {
            QMenu* popup = menu->addMenu(item.text);
            FillMenu(popup, item.items);
            connect(popup, &QMenu::aboutToShow, this, [this, popup] { UpdateMenu(popup); });
            break;
        }
        case MenuItemDef::Kind::Command:
        case MenuItemDef::Kind::CommandList:
        case MenuItemDef::Kind::RecentFiles: {
            QAction* action = menu->addAction(item.text);
            action->setProperty(kCommandProperty, item.id);
            action->setStatusTip(AfxResources().Prompt(item.id));
            if (item.kind == MenuItemDef::Kind::RecentFiles)
                action->setProperty("recentFiles", true);
            if (item.kind == MenuItemDef::Kind::CommandList)
                action->setProperty("commandList", true);
            const UINT id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
            break;
        }
        }
    }
}

void CMDIFrameWnd::UpdateMenu(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (action->property(kDynamicProperty).toBool())
            delete action;
    for (QAction* action : menu->actions()) {
        if (action->property("recentFiles").toBool()) {
            FillRecentFiles(menu, action);
            continue;
        }
        if (UINT id = CommandOf(action)) {
            const CCmdUI ui = QueryCommand(id);
            action->setEnabled(ui.m_bEnabled);
            action->setCheckable(ui.m_nCheck >= 0);
            action->setChecked(ui.m_nCheck > 0);
            if (action->property("commandList").toBool())
                FillCommandList(menu, action, ui.m_items);
        }
    }
    if (menu->property("windowList").toBool())
        FillWindowList(menu);
}

void CMDIFrameWnd::FillRecentFiles(QMenu* menu, QAction* placeholder) {
    CWinApp* app = AfxGetApp();
    const CRecentFileList* list = app ? app->m_pRecentFileList.get() : nullptr;
    const int count = list ? list->GetCount() : 0;
    placeholder->setVisible(count == 0);
    placeholder->setEnabled(false);
    for (int i = 0; i < count; ++i) {
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg((*list)[i]), menu);
        action->setProperty(kDynamicProperty, true);
        action->setStatusTip(AfxResources().Prompt(ID_FILE_MRU_FILE1));
        const UINT id = ID_FILE_MRU_FILE1 + i;
        connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
        menu->insertAction(placeholder, action);
    }
}

void CMDIFrameWnd::FillCommandList(QMenu* menu, QAction* placeholder,
                                   const std::vector<CCmdUI::Item>& items) {
    placeholder->setVisible(items.empty());
    placeholder->setEnabled(false);
    for (const CCmdUI::Item& item : items) {
        auto* action = new QAction(item.text, menu);
        action->setProperty(kDynamicProperty, true);
        action->setCheckable(true);
        action->setChecked(item.checked);
        connect(action, &QAction::triggered, this, [this, choose = item.choose] {
            if (choose)
                choose();
            ScheduleCommandUpdate();
        });
        menu->insertAction(placeholder, action);
    }
}

void CMDIFrameWnd::FillWindowList(QMenu* menu) {
    const auto frames = ChildFrames();
    if (frames.empty())
        return;
    QAction* separator = menu->addSeparator();
    separator->setProperty(kDynamicProperty, true);
    int n = 0;
    for (CMDIChildWnd* frame : frames) {
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(frame->windowTitle()));
        action->setProperty(kDynamicProperty, true);
        action->setCheckable(true);
        action->setChecked(frame == MDIGetActive());
        connect(action, &QAction::triggered, this,
                [this, frame] { m_pMdiArea->setActiveSubWindow(frame); });
    }
}

void CMDIFrameWnd::InstallAccelerators(UINT nIDResource) {
    for (QAction* action : m_accelerators)
        delete action;
    m_accelerators.clear();
    auto it = AfxResources().accelerators.find(nIDResource);
    if (it == AfxResources().accelerators.end())
        return;
    for (const AcceleratorDef& accel : it->second) {
        auto* action = new QAction(this);
        action->setShortcut(accel.key);
        action->setShortcutContext(Qt::WindowShortcut);
        const UINT id = accel.id;
        connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
        addAction(action);
        m_accelerators.push_back(action);
    }
}

QToolBar* CMDIFrameWnd::CreateToolBar(UINT nIDResource) {
    const ToolbarDef* def = AfxResources().FindToolbar(nIDResource);
    if (!def)
        return nullptr;
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("toolbar%1").arg(nIDResource));
    bar->setIconSize(def->buttonSize);
    bar->setMovable(true);
    for (UINT id : def->buttons) {
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            continue;
        }
        QAction* action = bar->addAction(AfxResources().LoadIcon(id), AfxResources().ToolTip(id));
        action->setProperty(kCommandProperty, id);
        action->setStatusTip(AfxResources().Prompt(id));
        connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    }
    addToolBar(Qt::TopToolBarArea, bar);
    m_toolBars.push_back(bar);
    return bar;
}

void CMDIFrameWnd::HelpFinder() {
    CWinApp* app = AfxGetApp();
    CHelpWindow::Show(this, app ? app->m_strHelpFilePath : QString());
}

void CMDIFrameWnd::TellViewsArranged() {
    for (CMDIChildWnd* frame : ChildFrames())
        if (CView* view = frame->GetActiveView())
            view->OnArranged();
}

void CMDIFrameWnd::OnSize(unsigned, int, int) {}

void CMDIFrameWnd::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    OnSize(0, width(), height());
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event) {
    if (CBusyWait::Active()) {
        event->ignore();
        CBusyWait::WhenDone(this, [this] { close(); });
        return;
    }
    if (CWinApp* app = AfxGetApp())
        app->CloseAllDocuments(true);
    event->accept();
}

// Input, focus and windows coming and going may change what the commands can do.
bool CMDIFrameWnd::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Close:
        ScheduleCommandUpdate();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMDIFrameWnd::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        SetMessageText(tip.isEmpty() ? AfxResources().LoadString(AFX_IDS_IDLEMESSAGE) : tip);
        return true;
    }
    return QMainWindow::event(event);
}
