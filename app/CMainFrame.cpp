#include "app/CMainFrame.h"

#include "app/CDia_Parameters.h"
#include "app/CLumarestApp.h"
#include "app/MediaFramework.h"
#include "app/SharedState.h"
#include "platform/dao/DaoException.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/framework/StatusBar.h"
#include "res/Resource.h"

#include <QDir>
#include <QToolBar>

#include <cstdlib>

CMainFrame* MainFrame() {
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

CMainFrame::CMainFrame() {
    if (!StartMediaFramework()) {
        AfxMessageBox(QStringLiteral("CoInitialize Failed!\r\n"), MB_OK);
        std::exit(1);
    }
    OnCommand(ID_HELP_FINDER, [this] { HelpFinder(); });
    OnCommand(ID_HELP, [this] { HelpFinder(); });
    OnCommand(ID_CONTEXT_HELP, [this] { HelpFinder(); });
    OnCommand(ID_DEFAULT_HELP, [this] { HelpFinder(); });
    OnCommand(ID_VIEW_PLAYLIST, [this] { OnViewPlayList(); });
    OnCommand(ID_WINDOW_CLOSEALL, [this] { OnWindowCloseAll(); });
    OnCommand(ID_VIEW_PARAMETERS, [this] { OnViewParameters(); });
}

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate() {
    m_wndToolBar = CreateToolBar(IDR_MAINFRAME);
    if (!m_wndToolBar)
        return -1;
    m_wndStatusBar = new CStatusBar(this);
    if (!m_wndStatusBar->SetIndicators({ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_VOLUME,
                                        ID_INDICATOR_NUM, ID_INDICATOR_SCRL, ID_INDICATOR_SPEED}))
        return -1;
    m_wndStatusBar->SetPaneWidthFor(2, QStringLiteral(" 100")); // the loudest level
    const int speedPane = m_wndStatusBar->CommandToIndex(ID_INDICATOR_SPEED);
    m_wndStatusBar->SetPaneWidthFor(speedPane, QStringLiteral(" 0.67x"));
    m_wndStatusBar->SetPaneFolding(speedPane); // shown only while the speed is not 1x
    m_wndStatusBar->SetPaneText(speedPane, QString(), false);
    setStatusBar(m_wndStatusBar);
    m_wndStatusBar->SetPaneText(0, AfxResources().LoadString(AFX_IDS_IDLEMESSAGE), false);

    // The catalogue lives in the folder the program was started from.
    AfxGetApp()->WriteProfileString(QStringLiteral("Directories"), QStringLiteral("Dir_exe"),
                                    QDir::toNativeSeparators(QDir::currentPath()));
    try {
        m_PlayList.OpenCatalogue();
    } catch (const CDaoException& e) {
        AfxMessageBox(e.m_strDescription, MB_OK | MB_ICONEXCLAMATION);
    }
    return 0;
}

void CMainFrame::OnSize(unsigned, int, int) {
    if (!m_wndStatusBar)
        return;
    const QRect pane = m_wndStatusBar->GetItemRect(0);
    const QString text = m_wndStatusBar->GetText();
    g_rcSlider.left = text.isEmpty() ? 150 : 6 * static_cast<int>(text.size());
    g_rcSlider.top = pane.y();
    g_rcSlider.right = pane.x() + pane.width();
    g_rcSlider.bottom = pane.y() + pane.height();
}

void CMainFrame::OnViewPlayList() {
    CLumarestApp* app = LumarestApp();
    if (!app || !app->m_pPlayListTemplate)
        return;
    if (CDocument* doc = app->m_pPlayListTemplate->OpenDocumentFile(QString(), true))
        doc->SetTitle(QStringLiteral("Play List"));
}

void CMainFrame::OnViewParameters() {
    CDia_Parameters dialog;
    dialog.DoModal();
}

void CMainFrame::OnWindowCloseAll() {
    AfxGetApp()->CloseAllDocuments(true);
}
