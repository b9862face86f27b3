// Start-up of the program against a bare Qt main window: time to a shown,
// painted main frame (catalogue created or opened included) and the memory it adds.
#include "app/CLumarestApp.h"
#include "platform/framework/MDIFrameWnd.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

long RssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

double BareWindowMs() {
    QElapsedTimer t;
    t.start();
    QMainWindow window;
    window.resize(1024, 720);
    window.show();
    window.repaint();
    QApplication::processEvents();
    return t.nsecsElapsed() / 1e6;
}

double ProgramMs(const QString& folder) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(folder);
    QElapsedTimer t;
    t.start();
    double ms;
    {
        CLumarestApp app;
        EXPECT_TRUE(app.InitInstance());
        AfxGetMainWnd()->repaint();
        QApplication::processEvents();
        ms = t.nsecsElapsed() / 1e6;
    }
    QDir::setCurrent(old);
    return ms;
}

TEST(BenchStartup, MainFrameAgainstABareWindow) {
    BareWindowMs(); // warm the platform plugin and fonts
    const long rss0 = RssKiB();
    double bare = 1e9;
    for (int i = 0; i < 5; ++i)
        bare = std::min(bare, BareWindowMs());
    const long rssBare = RssKiB();

    QTemporaryDir dir;
    const double first = ProgramMs(dir.path()); // creates Lumarest.mdb
    double again = 1e9;
    for (int i = 0; i < 5; ++i)
        again = std::min(again, ProgramMs(dir.path()));
    const long rssProgram = RssKiB();

    printf("bare Qt main window:            %7.1f ms\n", bare);
    printf("program, creating the catalogue: %7.1f ms\n", first);
    printf("program, opening the catalogue:  %7.1f ms (%.1fx the bare window)\n", again, again / bare);
    printf("resident memory: %ld MiB at start, %ld MiB after bare windows, %ld MiB after the program\n",
           rss0 / 1024, rssBare / 1024, rssProgram / 1024);
}

} // namespace
