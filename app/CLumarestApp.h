#pragma once
// The application: start-up, the player and play-list templates, About.
#include "platform/framework/WinApp.h"

#include <QStringList>

class CLumarestApp : public CWinApp {
public:
    // arguments: the command line after the program's name.
    explicit CLumarestApp(QStringList arguments = {});

    bool InitInstance() override;
    void OnAppAbout();

    CMultiDocTemplate* m_pPlayerTemplate = nullptr;
    CMultiDocTemplate* m_pPlayListTemplate = nullptr;

private:
    QStringList m_arguments;
};

// The application object of this process, or null before it exists.
CLumarestApp* LumarestApp();
