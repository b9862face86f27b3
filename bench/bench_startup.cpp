// Start-up: the whole program started with no file, until its main window is on screen with
// its MDI area painted (which happens once its event loop runs), against a bare Qt program
// doing the same start-up work the shortest way (bare_mainwindow: menus, toolbar, status
// bar, MDI area, settings read and written, a catalogue file opened). Both run as whole
// processes on an X server of their own (Xvfb with openbox), alternately; the resident
// memory of each is read when its window is first seen (once more each, at the end). The
// program is timed once more on a session bus of its own, as a desktop gives it one: there it
// settles with the copies already running before its window is made.
#include "GroupedProcess.h"
#include "WholeProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kPairs = 15;

// The MDI area's grey over most of the middle of the screen: the window is mapped and its
// first paint has been flushed (the whole window is drawn in one go).
bool ShowsMdiArea(bench::Screen& screen) {
    int looked = 0;
    int grey = 0;
    screen.Scan([&](int x, int y, uint32_t p) {
        if (x < 100 || x > screen.Width() - 100 || y < 150 || y > screen.Height() - 150)
            return;
        ++looked;
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        grey += r == g && g == b && r >= 150 && r <= 170;
    });
    return looked > 0 && grey * 10 >= looked * 9;
}

TEST(BenchStartup, ProgramAgainstABareMainWindow) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir work, config;
    XSession x;
    ASSERT_TRUE(x.Start(QSize(1024, 768)));
    bench::Screen screen(x.Display());
    ASSERT_TRUE(screen.ok());

    const QProcessEnvironment env = x.UserEnvironment(config.path());
    const bench::Side program{QStringLiteral(LUMAREST_PROGRAM), {}, env, work.path()};
    const bench::Side bare{QStringLiteral(BARE_MAINWINDOW), {}, env, work.path()};

    const bench::Alternated runs = bench::RunAlternately(
        x, program, bare, [&] { return ShowsMdiArea(screen); }, kPairs);
    ASSERT_FALSE(runs.ratio.values.empty()) << "no run showed its main window";
    long programKiB = 0;
    long bareKiB = 0;
    const auto shown = [&] { return ShowsMdiArea(screen); };
    bench::TimeToScreen(x, program, shown,
                        [&](qint64 pid) { programKiB = bench::ProcessRssKiB(pid); });
    bench::TimeToScreen(x, bare, shown, [&](qint64 pid) { bareKiB = bench::ProcessRssKiB(pid); });
    std::printf("resident memory when shown: program %ld KiB, floor %ld KiB\n", programKiB,
                bareKiB);
    ASSERT_TRUE(QFile::exists(work.filePath("Lumarest.mdb")));
    bench::Target("Start-up to a painted main window vs bare Qt program", runs.ratio, "x", 1.3);

    QTemporaryDir busDir;
    const QString address = QStringLiteral("unix:path=") + busDir.filePath(QStringLiteral("bus"));
    GroupedProcess busDaemon;
    busDaemon.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--address=") + address});
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return QFileInfo::exists(busDir.filePath(QStringLiteral("bus"))); }, 5000));
    QProcessEnvironment busEnv = env;
    busEnv.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    const bench::Side onBus{QStringLiteral(LUMAREST_PROGRAM), {}, busEnv, work.path()};
    const bench::Alternated busRuns = bench::RunAlternately(x, onBus, bare, shown, kPairs);
    ASSERT_FALSE(busRuns.ratio.values.empty()) << "no run on the bus showed its main window";
    bench::Target("Start-up on a session bus vs bare Qt program", busRuns.ratio, "x", 1.3);
}

} // namespace
