#include "app/CLumarestApp.h"

#include "app/CAboutDlg.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/FirstFrameSize.h"
#include "platform/framework/DocTemplate.h"
#include "platform/trace/StageMarks.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "playlist/CListView_Table.h"
#include "res/Resource.h"

#include <QScreen>

CLumarestApp* LumarestApp() {
    return dynamic_cast<CLumarestApp*>(AfxGetApp());
}

namespace {
CCommandLineInfo Parsed(const QStringList& arguments) {
    CCommandLineInfo info;
    info.Parse(arguments);
    return info;
}
} // namespace

CLumarestApp::CLumarestApp(const QStringList& arguments) : CLumarestApp(Parsed(arguments)) {}

CLumarestApp::CLumarestApp(CCommandLineInfo commandLine)
    : CWinApp(QStringLiteral("Lumarest")), m_commandLine(std::move(commandLine)) {
    m_strHelpFilePath = res::HelpPagePath();
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    OnCommand(ID_FILE_OPENLOCATION, [this] { OnFileOpenLocation(); });
}

bool CLumarestApp::InitInstance() {
    // With arguments (a file to play, as a rule) the start-up thread is opening the video
    // output beside the windows until the first picture: the toolbar's icons are looked up when
    // it is first painted, after that picture. Without, they are looked up now, while the main
    // frame would wait for the media framework anyway.
    res::Install(!m_commandLine.m_files.isEmpty() || !m_commandLine.m_switches.isEmpty());
    SetRegistryKey(QStringLiteral("Orvenhal"));
    LoadStdProfileSettings(16);

    auto newDocument = [] { return std::make_unique<CLumarestDoc>(); };
    auto newFrame = []() -> CMDIChildWnd* { return new CChildFrame; };
    auto player = std::make_unique<CMultiDocTemplate>(IDR_PLAYERTYPE, newDocument, newFrame,
                                                      []() -> CView* { return new CLumarestView; });
    m_pPlayerTemplate = player.get();
    AddDocTemplate(std::move(player));
    auto playList = std::make_unique<CMultiDocTemplate>(
        IDR_PLAYLISTTYPE, newDocument, newFrame, []() -> CView* { return new CListView_Table; });
    m_pPlayListTemplate = playList.get();
    AddDocTemplate(std::move(playList));

    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME))
        return false;
    if (const QScreen* screen = frame->screen())
        frame->resize(FirstFrameSize(screen->availableGeometry()));
    else
        frame->resize(FirstFrameSize(QRect()));
    trace::MarkStage("main window");

    // Without a file nothing opens: switches alone do nothing. With files, each opens in a
    // window of its own; the start fails only when none of them could be opened.
    if (!m_commandLine.m_files.isEmpty() && !ProcessShellCommand(m_commandLine))
        return false;

    frame->show();
    trace::MarkStage("shown");
    return true;
}

void CLumarestApp::OnAppAbout() {
    CAboutDlg about(m_pMainWnd);
    about.DoModal();
}
