#pragma once
// The application: start-up, the player and play-list templates, About.
#include "platform/framework/WinApp.h"

class CLumarestApp : public CWinApp {
public:
    // arguments: the command line after the program's name.
    explicit CLumarestApp(const QStringList& arguments = {});
    // The command line as the start has parsed it already.
    explicit CLumarestApp(CCommandLineInfo commandLine);

    bool InitInstance() override;
    // A play-list file (.m3u, .m3u8, .pls) plays as a queue; any other file opens as ever.
    CDocument* OpenDocumentFile(const QString& path) override;
    // Catalogues the existing files the list names, tells how many it names that are not
    // there, and plays the others as a queue in a new player window; null when none plays.
    CDocument* OpenPlayListFile(const QString& path);
    // A stream in a new player window (or the window already playing it); null when it could
    // not be started, and then no window is left behind.
    CDocument* OpenStream(const QString& url);
    // File/Open Location: asks for a URL and opens it.
    void OnFileOpenLocation();
    void OnAppAbout();

    // Stands in for the user in the location dialog (tests).
    using LocationAsker = std::function<QString()>;
    void SetLocationAsker(LocationAsker asker) { m_askLocation = std::move(asker); }

    CMultiDocTemplate* m_pPlayerTemplate = nullptr;
    CMultiDocTemplate* m_pPlayListTemplate = nullptr;

private:
    CCommandLineInfo m_commandLine;
    LocationAsker m_askLocation;
};

// The application object of this process, or null before it exists.
CLumarestApp* LumarestApp();
