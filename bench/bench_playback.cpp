// What playing costs, as whole processes on an X server of their own (Xvfb with openbox):
// - processor time and frames shown and dropped over 20 s of steady playing, for 1080p30 and
//   4K30 H.264 in a window and 720p30 and 1080p60 taken to full screen: the program against
//   the bare pipeline that scales and shows on the X server as it does, and mpv's X11 output
//   beside them when it is installed;
// - resident memory through a slide show of 300 pictures started from the play list with
//   real keys, sampled while it runs: it must stay flat.
#include "WholeProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>

namespace {

constexpr int kClipSeconds = 26;
constexpr int kMeasuredSeconds = 20;
constexpr int kSettleMs = 3000; // started, first picture shown, decoding steady
constexpr int kRounds = 2;
constexpr int kSlides = 300;
constexpr double kSlideShowLimitMiB = 210; // the program with the GL sink, before

bool RunTool(const QString& program, const QStringList& args, int timeoutMs = 120000) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(timeoutMs) && p.exitStatus() == QProcess::NormalExit &&
           p.exitCode() == 0;
}

// How a player is seen while it plays: its frames shown and dropped so far, or nothing when
// it does not say.
struct Frames {
    double shown = -1;
    double dropped = -1;
};
using FrameReader = std::function<Frames(QProcess&)>;

// What one side did over kMeasuredSeconds of steady playing: a share of one core, and the
// frames it showed and dropped meanwhile.
struct Played {
    double share = -1;
    Frames frames;
};

Played PlayOnce(XSession& x, const bench::Side& side, const FrameReader& frames,
                const std::function<void()>& started) {
    QProcess& process = x.Launch(side.program, side.args, side.env, side.workDir);
    if (!process.waitForStarted(5000))
        return {};
    QThread::msleep(kSettleMs);
    if (started)
        started();
    const Frames first = frames(process);
    const double before = bench::ProcessCpuSeconds(process.processId());
    QThread::sleep(kMeasuredSeconds);
    const double after = bench::ProcessCpuSeconds(process.processId());
    const Frames last = frames(process);
    const bool running = process.state() == QProcess::Running;
    XSession::Stop(process);
    Played played;
    if (running && before >= 0 && after >= before)
        played.share = (after - before) / kMeasuredSeconds;
    if (first.shown >= 0 && last.shown >= 0)
        played.frames = {last.shown - first.shown, last.dropped - first.dropped};
    return played;
}

// The program writes its figures to the file LUMAREST_FRAME_LOG names, once a second.
FrameReader ProgramFrames(const QString& log) {
    return [log](QProcess&) {
        QFile file(log);
        const QString text =
            file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        const QRegularExpressionMatch m =
            QRegularExpression(R"(shown (\d+) dropped (\d+))").match(text);
        return m.hasMatch() ? Frames{m.captured(1).toDouble(), m.captured(2).toDouble()} : Frames{};
    };
}

// The last of the lines a process printed so far that pattern matches (two numbers).
FrameReader PrintedFrames(const QString& pattern) {
    auto seen = std::make_shared<QString>();
    return [pattern, seen](QProcess& process) {
        *seen += QString::fromUtf8(process.readAllStandardOutput());
        *seen += QString::fromUtf8(process.readAllStandardError());
        Frames frames;
        auto it = QRegularExpression(pattern).globalMatch(*seen);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            frames = {m.captured(1).toDouble(), m.captured(2).toDouble()};
        }
        return frames;
    };
}

// One way of playing, with the picture in a window of about half the screen or filling it.
struct Case {
    const char* name;
    QSize video;
    int fps;
    bool fullScreen;
};

const Case kCases[] = {
    {"1080p30 in a window", {1920, 1080}, 30, false},
    {"4K30 in a window", {3840, 2160}, 30, false},
    {"720p30 to full screen", {1280, 720}, 30, true},
    {"1080p60 full screen", {1920, 1080}, 60, true},
};

constexpr QSize kScreen(1920, 1080);
constexpr QSize kWindowPicture(960, 540); // about what the program's window shows on it

// Each case against the bare pipeline that scales and shows on the X server as the program
// does (videoscale ! ximagesink, the frames counted by fpsdisplaysink) and against mpv's X11
// output when mpv is installed; sides alternated in each round. Frames shown should be at
// least the others', processor time no more than theirs.
TEST(BenchPlayback, ProcessorTimeAndFramesAgainstBarePipelineAndMpv) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "gst-launch-1.0", "ffmpeg"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    const bool haveMpv = !QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty();
    QTemporaryDir media, work, config;
    XSession x;
    ASSERT_TRUE(x.Start(kScreen));
    const QProcessEnvironment env = x.UserEnvironment(config.path());
    for (const Case& c : kCases) {
        const QString file = media.filePath(QStringLiteral("clip%1x%2p%3.mp4")
                                                .arg(c.video.width())
                                                .arg(c.video.height())
                                                .arg(c.fps));
        ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
                            {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                             QStringLiteral("testsrc2=size=%1x%2:rate=%3")
                                 .arg(c.video.width())
                                 .arg(c.video.height())
                                 .arg(c.fps),
                             "-t", QString::number(kClipSeconds), "-c:v", "libx264", "-preset",
                             "ultrafast", "-pix_fmt", "yuv420p", file},
                            600000));
        const QSize shown = c.fullScreen ? kScreen : kWindowPicture;
        const QString log = work.filePath(QStringLiteral("frames.txt"));
        QProcessEnvironment programEnv = env;
        programEnv.insert(QStringLiteral("LUMAREST_FRAME_LOG"), log);
        const bench::Side program{
            QStringLiteral(LUMAREST_PROGRAM), {file}, programEnv, work.path()};
        const QString scaled = QStringLiteral("video-sink=videoscale ! video/x-raw,width=%1,"
                                              "height=%2 ! fpsdisplaysink text-overlay=false "
                                              "video-sink=ximagesink")
                                   .arg(shown.width())
                                   .arg(shown.height());
        const bench::Side bare{QStringLiteral("gst-launch-1.0"),
                               {"-v", "playbin", "uri=" + QUrl::fromLocalFile(file).toString(),
                                scaled, "audio-sink=fakesink"},
                               env,
                               work.path()};
        const bench::Side mpv{
            QStringLiteral("mpv"),
            {"--no-config", "--vo=x11", "--ao=null",
             c.fullScreen
                 ? QStringLiteral("--fs")
                 : QStringLiteral("--geometry=%1x%2").arg(shown.width()).arg(shown.height()),
             "--term-status-msg=played ${estimated-frame-number} dropped "
             "${frame-drop-count}",
             file},
            env,
            work.path()};
        // Full screen as a user asks for it: F on the program's window.
        const auto programStarted = [&] {
            if (!c.fullScreen)
                return;
            const QString window = x.FindWindow("^Lumarest - ");
            x.Xdo({"windowactivate", "--sync", window});
            x.Xdo({"key", "f"});
        };
        bench::Samples share[3], shownFrames[3], droppedFrames[3], cpuRatio, shownRatio;
        for (int round = 0; round < kRounds; ++round) {
            QFile::remove(log);
            const Played p = PlayOnce(x, program, ProgramFrames(log), programStarted);
            const Played b =
                PlayOnce(x, bare, PrintedFrames(R"(rendered: (\d+), dropped: (\d+))"), nullptr);
            const Played m =
                haveMpv ? PlayOnce(x, mpv, PrintedFrames(R"(played (\d+) dropped (\d+))"), nullptr)
                        : Played{};
            const Played* sides[] = {&p, &b, &m};
            for (int i = 0; i < 3; ++i) {
                if (sides[i]->share < 0)
                    continue;
                share[i].Add(sides[i]->share * 100);
                if (sides[i]->frames.shown >= 0) {
                    shownFrames[i].Add(sides[i]->frames.shown);
                    droppedFrames[i].Add(sides[i]->frames.dropped);
                }
            }
            std::printf("%s, round %d: program %.1f %% (%.0f shown, %.0f dropped), bare "
                        "pipeline %.1f %% (%.0f shown, %.0f dropped), mpv %s\n",
                        c.name, round + 1, p.share * 100, p.frames.shown, p.frames.dropped,
                        b.share * 100, b.frames.shown, b.frames.dropped,
                        m.share >= 0 ? qPrintable(QStringLiteral("%1 % (%2 shown, %3 dropped)")
                                                      .arg(m.share * 100, 0, 'f', 1)
                                                      .arg(m.frames.shown)
                                                      .arg(m.frames.dropped))
                                     : "-");
            std::fflush(stdout);
            if (p.share > 0 && b.share > 0)
                cpuRatio.Add(p.share / b.share);
            if (p.frames.shown > 0 && b.frames.shown >= 0)
                shownRatio.Add(b.frames.shown / p.frames.shown);
        }
        const char* names[] = {"program", "bare videoscale ! ximagesink", "mpv --vo=x11"};
        for (int i = 0; i < 3; ++i) {
            if (share[i].values.empty())
                continue;
            const std::string cpu = std::string(c.name) + ": " + names[i] + ", CPU % of a core";
            bench::Target(cpu.c_str(), share[i], "", 1000, false, 1);
            if (!shownFrames[i].values.empty()) {
                const std::string f = std::string(c.name) + ": " + names[i] +
                                      ", frames shown in 20 s (dropped " +
                                      std::to_string(int(droppedFrames[i].Median())) + ")";
                bench::Target(f.c_str(), shownFrames[i], "", 1e9, false, 0);
            }
        }
        ASSERT_FALSE(cpuRatio.values.empty()) << c.name << ": no round played to its end";
        const std::string cpu = std::string(c.name) + ": CPU vs bare pipeline";
        bench::Target(cpu.c_str(), cpuRatio, "x", 1.1);
        if (!shownRatio.values.empty()) {
            const std::string f = std::string(c.name) + ": bare pipeline's frames shown vs ours";
            bench::Target(f.c_str(), shownRatio, "x", 1.0);
        }
    }
}

// The program's main window, found by its whole title.
struct Desk {
    XSession& x;
    QString main;

    bool WaitForTitle(const QString& title, int ms) {
        const QString pattern = '^' + QRegularExpression::escape(title) + '$';
        return XSession::WaitFor([&] { return !(main = x.FindWindow(pattern)).isEmpty(); }, ms);
    }
    QString Title() const { return x.Xdo({"getwindowname", main}); }
    void Keys(const QString& window, const QStringList& keys) const {
        x.Xdo({"windowactivate", "--sync", window});
        x.Xdo(QStringList{"key", "--delay", "150"} + keys);
    }
};

TEST(BenchPlayback, MemoryThroughA300PictureSlideShow) {
    const QString missing =
        XSession::MissingTools({"Xvfb", "openbox", "gst-launch-1.0", "xdotool"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    // Camera-sized pictures, each a different frame of the pattern.
    ASSERT_TRUE(
        RunTool(QStringLiteral("gst-launch-1.0"),
                {"-q", "videotestsrc", "pattern=smpte", "num-buffers=" + QString::number(kSlides),
                 "!", "video/x-raw,width=1920,height=1080", "!", "jpegenc", "!", "multifilesink",
                 "location=" + media.filePath("pic_%03d.jpg")}));

    XSession x;
    ASSERT_TRUE(x.Start(QSize(1280, 1024)));
    QProcess& app = x.Launch(QStringLiteral(LUMAREST_PROGRAM), {media.filePath("pic_000.jpg")},
                             x.UserEnvironment(config.path()), work.path());
    Desk desk{x, {}};
    ASSERT_TRUE(desk.WaitForTitle("Lumarest - pic_000.jpg", 20000));
    // View/Play List from the player's menu, then View/Parameters from the play list's: a
    // fifth of a second a slide; then every line, played with Playlist/Play selected.
    desk.Keys(desk.main, {"alt+v", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(desk.WaitForTitle("Lumarest - Play List", 10000));
    desk.Keys(desk.main, {"alt+v", "Down", "Down", "Down", "Return"});
    QString dialog;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return !(dialog = x.FindWindow("^Parameters$")).isEmpty(); }, 5000));
    desk.Keys(dialog, {"Tab", "Tab", "ctrl+a"}); // OK, Cancel, then the delay
    x.Xdo({"type", "0.2"});
    x.Xdo({"key", "Return"});
    desk.Keys(desk.main, {"ctrl+a", "alt+v", "Right", "Return"});

    const QString last =
        "Lumarest - " +
        media.filePath(QStringLiteral("pic_%1.jpg").arg(kSlides - 1, 3, 10, QLatin1Char('0')));
    bench::Samples rss;
    QElapsedTimer clock;
    clock.start();
    while (desk.Title() != last && clock.elapsed() < kSlides * 1000 &&
           app.state() != QProcess::NotRunning) {
        rss.Add(double(bench::ProcessRssKiB(app.processId())) / 1024.0);
        QThread::msleep(250);
    }
    const bool ended = desk.Title() == last;
    std::printf("slide show of %d pictures %s after %.1f s, %zu samples of resident memory\n",
                kSlides, ended ? "ended" : "did NOT end", double(clock.elapsed()) / 1000.0,
                rss.values.size());
    ASSERT_TRUE(ended);
    ASSERT_GE(rss.values.size(), 12u);
    // Flat: the last third of the show holds no more than the first third did, give or take.
    const size_t third = rss.values.size() / 3;
    bench::Samples first, lastThird;
    for (size_t i = 0; i < third; ++i) {
        first.Add(rss.values[i]);
        lastThird.Add(rss.values[rss.values.size() - third + i]);
    }
    std::printf("resident memory: first third %.0f MiB, last third %.0f MiB, most %.0f MiB\n",
                first.Median(), lastThird.Median(), rss.Max());
    bench::Samples growth;
    growth.Add(lastThird.Median() / first.Median());
    bench::Samples most;
    most.Add(rss.Max());
    bench::Target("Slide show of 300 pictures: most resident memory, MiB", most, "",
                  kSlideShowLimitMiB, true, 0);
    bench::Target("Slide show of 300 pictures: last third vs first third", growth, "x", 1.1);
}

} // namespace
