// A stream from the network in a player window: played by its URL, never catalogued.
#include "player/CLumarestDoc.h"

#include "platform/framework/WinApp.h"
#include "player/CLumarestView.h"

bool CLumarestDoc::PlayStream(const QString& url) {
    FindPlayerView();
    if (!m_pCLumarestView)
        return false;
    // Titled and found by its URL while it starts; remembered once it plays.
    SetPathName(url, false);
    m_pCLumarestView->SetFile(url);
    const std::wstring wide = url.toStdWString();
    if (!m_pCLumarestView->Play(wide.c_str(), false))
        return false;
    if (CWinApp* app = AfxGetApp())
        app->AddToRecentFileList(url);
    return true;
}
