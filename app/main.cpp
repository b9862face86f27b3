// Lumarest: a media player whose play list is a small catalogue.
#include "app/CLumarestApp.h"
#include "app/MediaFramework.h"
#include "desktop/DesktopIntegration.h"
#include "platform/framework/MDIFrameWnd.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    StartMediaFrameworkEarly(argc > 1); // arguments name a file to play, as a rule
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvenhal"));
    QApplication::setApplicationName(QStringLiteral("Lumarest"));
    CLumarestApp app(QApplication::arguments().mid(1));
    if (!app.InitInstance())
        return 1;
    auto desktop = std::make_unique<desktop::DesktopIntegration>(*app.m_pMainWnd);
    const int status = QApplication::exec();
    desktop.reset();
    app.ExitInstance();
    return status;
}
