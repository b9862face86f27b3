// What the program costs at rest, as whole processes on an X server of their own (Xvfb with
// openbox): the main window alone, a video paused, a video that has ended. Each state is
// measured for 20 s against a bare Qt window with the timers the design gives each player
// (bare_timers), and against mpv paused when it is installed: processor time, wake-ups (the
// context switches of all the process's threads) and resident memory.
#include "WholeProcess.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace {

constexpr int kMeasuredSeconds = 20;
constexpr int kRounds = 3;

// Processor time of every thread the process has now, in seconds, to the nanosecond (the
// process's own clock-tick count is too coarse for a share of a per cent).
double ThreadsCpuSeconds(qint64 pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream schedstat(tasks.filePath(task + "/schedstat").toStdString());
        long long ns = 0;
        if (schedstat >> ns)
            total += double(ns) / 1e9;
    }
    return total;
}

// Context switches of every thread the process has now: each is a wake-up or a preemption.
long long Switches(qint64 pid) {
    long long total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream status(tasks.filePath(task + "/status").toStdString());
        std::string line;
        while (std::getline(status, line))
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::stoll(line.substr(line.find(':') + 1));
    }
    return total;
}

struct AtRest {
    double cpuPercent = -1;
    double wakeupsPerSecond = -1;
    double rssMiB = -1;
};

// settle brings the process to the state measured (given its pid, after its start).
AtRest Measure(XSession& x, const bench::Side& side, const std::function<bool(qint64)>& settle) {
    QProcess& process = x.Launch(side.program, side.args, side.env, side.workDir);
    AtRest rest;
    if (process.waitForStarted(5000) && settle(process.processId())) {
        const qint64 pid = process.processId();
        const double cpu0 = ThreadsCpuSeconds(pid);
        const long long switches0 = Switches(pid);
        QThread::sleep(kMeasuredSeconds);
        if (process.state() == QProcess::Running) {
            rest.cpuPercent = (ThreadsCpuSeconds(pid) - cpu0) * 100.0 / kMeasuredSeconds;
            rest.wakeupsPerSecond = double(Switches(pid) - switches0) / kMeasuredSeconds;
            rest.rssMiB = double(bench::ProcessRssKiB(pid)) / 1024.0;
        }
    }
    XSession::Stop(process);
    return rest;
}

bool MakeClip(const QString& path, int seconds) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-loglevel",
                                            "error",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc2=size=1280x720:rate=30",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "sine",
                                            "-t",
                                            QString::number(seconds),
                                            "-c:v",
                                            "libx264",
                                            "-preset",
                                            "veryfast",
                                            "-pix_fmt",
                                            "yuv420p",
                                            "-c:a",
                                            "aac",
                                            path});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

class Idle : public ::testing::Test {
protected:
    void SetUp() override {
        const QString missing = XSession::MissingTools({"Xvfb", "openbox", "xdotool", "ffmpeg"});
        if (!missing.isEmpty())
            GTEST_SKIP() << qPrintable(missing) << " is not installed";
        ASSERT_TRUE(x.Start(QSize(1280, 1024)));
        env = x.UserEnvironment(config.path());
    }

    bench::Side Program(const QStringList& args) const {
        return {QStringLiteral(LUMAREST_PROGRAM), args, env, work.path()};
    }
    bench::Side Floor(int players) const {
        return {QStringLiteral(BARE_TIMERS), {QString::number(players)}, env, work.path()};
    }
    // Until a top-level window titled so is on the screen.
    bool Shown(const QString& title) const {
        return XSession::WaitFor([&] { return !x.FindWindow('^' + title + '$').isEmpty(); }, 20000);
    }

    // Runs the state and its floor in turn, kRounds times, and prints what they cost.
    void Compare(const char* state, const bench::Side& program,
                 const std::function<bool(qint64)>& settle, int players,
                 const std::function<bool(qint64)>& floorSettle, double wakeupAllowance) {
        bench::Samples cpu, wakeups, cpuRatio, wakeupRatio, wakeupExcess, rss, floorCpu,
            floorWakeups;
        for (int round = 0; round < kRounds; ++round) {
            const AtRest p = Measure(x, program, settle);
            const AtRest f = Measure(x, Floor(players), floorSettle);
            std::printf("%s, round %d: program %.2f %% of a core, %.1f wake-ups/s, %.0f MiB; "
                        "floor %.2f %%, %.1f wake-ups/s, %.0f MiB\n",
                        state, round + 1, p.cpuPercent, p.wakeupsPerSecond, p.rssMiB, f.cpuPercent,
                        f.wakeupsPerSecond, f.rssMiB);
            std::fflush(stdout);
            if (p.cpuPercent < 0 || f.cpuPercent < 0)
                continue;
            cpu.Add(p.cpuPercent);
            wakeups.Add(p.wakeupsPerSecond);
            rss.Add(p.rssMiB);
            floorCpu.Add(f.cpuPercent);
            floorWakeups.Add(f.wakeupsPerSecond);
            cpuRatio.Add(p.cpuPercent / std::max(f.cpuPercent, 0.001));
            wakeupRatio.Add(p.wakeupsPerSecond / std::max(f.wakeupsPerSecond, 1.0));
            wakeupExcess.Add(p.wakeupsPerSecond - f.wakeupsPerSecond);
        }
        ASSERT_FALSE(cpu.values.empty()) << state << ": no round measured";
        const std::string s(state);
        std::printf("%s: program %.2f %% of a core, %.1f wake-ups/s, %.0f MiB; floor %.2f %%, "
                    "%.1f wake-ups/s (medians)\n",
                    state, cpu.Median(), wakeups.Median(), rss.Median(), floorCpu.Median(),
                    floorWakeups.Median());
        if (wakeupAllowance > 0) {
            bench::Target((s + ": wake-ups/s beyond the floor's").c_str(), wakeupExcess, "",
                          wakeupAllowance, false, 1);
        } else {
            bench::Target((s + ": CPU vs floor").c_str(), cpuRatio, "x", 1.3);
            bench::Target((s + ": wake-ups vs floor").c_str(), wakeupRatio, "x", 1.3);
        }
    }

    XSession x;
    QTemporaryDir media, work, config;
    QProcessEnvironment env;
};

TEST_F(Idle, TheMainWindowAlone) {
    Compare(
        "Main window, no player", Program({}),
        [&](qint64) { return Shown("Lumarest") && (QThread::sleep(3), true); }, 0,
        [](qint64) { return QThread::sleep(3), true; }, 2);
}

TEST_F(Idle, AVideoPaused) {
    const QString clip = media.filePath("clip.mp4");
    ASSERT_TRUE(MakeClip(clip, 60));
    Compare(
        "Video paused", Program({clip}),
        [&](qint64) {
            if (!Shown("Lumarest - clip.mp4"))
                return false;
            QThread::sleep(2);
            x.Xdo({"windowactivate", "--sync", x.FindWindow("^Lumarest - clip.mp4$")});
            x.Xdo({"key", "space"});
            QThread::sleep(3);
            return true;
        },
        1, [](qint64) { return QThread::sleep(3), true; }, 0);
    if (!QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty()) {
        const AtRest mpv =
            Measure(x, {QStringLiteral("mpv"), {"--no-config", "--pause", clip}, env, work.path()},
                    [](qint64) { return QThread::sleep(5), true; });
        std::printf("mpv paused: %.2f %% of a core, %.1f wake-ups/s, %.0f MiB\n", mpv.cpuPercent,
                    mpv.wakeupsPerSecond, mpv.rssMiB);
    }
}

TEST_F(Idle, AVideoThatHasEnded) {
    const QString clip = media.filePath("short.mp4");
    ASSERT_TRUE(MakeClip(clip, 2));
    Compare(
        "Video ended", Program({clip}),
        [&](qint64) { return Shown("Lumarest - short.mp4") && (QThread::sleep(6), true); }, 1,
        [](qint64) { return QThread::sleep(3), true; }, 0);
}

} // namespace
