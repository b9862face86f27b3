// Lumarest: a media player whose play list is a small catalogue.
#include "app/CLumarestApp.h"
#include "app/MediaFramework.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/SingleInstance.h"
#include "desktop/WhenShown.h"
#include "platform/framework/MDIFrameWnd.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    StartMediaFrameworkEarly(argc, argv);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvenhal"));
    QApplication::setApplicationName(QStringLiteral("Lumarest"));
    const QStringList arguments = QApplication::arguments().mid(1);
    if (desktop::HandToRunningCopy(desktop::ParseStart(arguments)))
        return 0;
    CLumarestApp app(arguments);
    if (!app.InitInstance())
        return 1;
    // The desktop's services come up once the main window is on screen: its first paint does
    // not wait for the session bus, and nothing on the desktop could use them sooner.
    std::unique_ptr<desktop::DesktopIntegration> desktop;
    desktop::WhenShown(*app.m_pMainWnd, [&desktop, &app] {
        desktop = std::make_unique<desktop::DesktopIntegration>(*app.m_pMainWnd);
    });
    const int status = QApplication::exec();
    desktop.reset();
    app.ExitInstance();
    return status;
}
