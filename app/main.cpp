// Lumarest: a media player whose play list is a small catalogue.
#include "app/CLumarestApp.h"
#include "app/MediaFramework.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/SingleInstance.h"
#include "desktop/WhenShown.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/trace/StageMarks.h"

#include <QApplication>
#include <QDir>

#include <memory>

int main(int argc, char** argv) {
    trace::MarkStage("main");
    StartMediaFrameworkEarly(argc, argv);
    QApplication application(argc, argv);
    trace::MarkStage("toolkit");
    QApplication::setOrganizationName(QStringLiteral("Orvenhal"));
    QApplication::setApplicationName(QStringLiteral("Lumarest"));
    CCommandLineInfo commandLine;
    commandLine.Parse(QApplication::arguments().mid(1));
    // Before any window: the copy of this folder's catalogue is decided on the bus at once.
    auto instance = std::make_unique<desktop::SingleInstance>(QDBusConnection::sessionBus(),
                                                              QDir::currentPath());
    if (instance->HandOver(commandLine))
        return 0;
    CLumarestApp app(commandLine);
    if (!app.InitInstance())
        return 1;
    instance->Serve(*app.m_pMainWnd);
    // The desktop's services come up once the main window is on screen: its first paint does
    // not wait for the session bus, and nothing on the desktop could use them sooner.
    std::unique_ptr<desktop::DesktopIntegration> desktop;
    desktop::WhenShown(*app.m_pMainWnd, [&desktop, &app] {
        desktop = std::make_unique<desktop::DesktopIntegration>(*app.m_pMainWnd);
    });
    const int status = QApplication::exec();
    instance.reset(); // a start from now on makes a copy of its own
    desktop.reset();
    app.ExitInstance();
    return status;
}
