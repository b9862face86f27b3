// What playing costs, as whole processes on an X server of their own (Xvfb with openbox):
// - processor time while a 1080p30 H.264 video plays for 20 s, the program against a bare
//   playbin (gst-launch-1.0) with the GL sink, and mpv beside them when it is installed;
// - resident memory through a slide show of 300 pictures started from the play list with
//   real keys, sampled while it runs: it must stay flat.
#include "WholeProcess.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
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

// A share of one core used by the side over kMeasuredSeconds of steady playing.
double CoreShare(XSession& x, const bench::Side& side) {
    QProcess& process = x.Launch(side.program, side.args, side.env, side.workDir);
    if (!process.waitForStarted(5000))
        return -1;
    QThread::msleep(kSettleMs);
    const double before = bench::ProcessCpuSeconds(process.processId());
    QThread::sleep(kMeasuredSeconds);
    const double after = bench::ProcessCpuSeconds(process.processId());
    const bool running = process.state() == QProcess::Running;
    XSession::Stop(process);
    return running && before >= 0 && after >= before ? (after - before) / kMeasuredSeconds : -1;
}

TEST(BenchPlayback, ProcessorTimeOf1080pAgainstBarePlaybin) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "gst-launch-1.0", "ffmpeg"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString file = media.filePath(QStringLiteral("clip1080.mp4"));
    ASSERT_TRUE(RunTool(QStringLiteral("ffmpeg"),
                        {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                         "testsrc2=size=1920x1080:rate=30", "-t", QString::number(kClipSeconds),
                         "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", file}));

    XSession x;
    ASSERT_TRUE(x.Start(QSize(1920, 1080)));
    const QProcessEnvironment env = x.UserEnvironment(config.path());
    const bench::Side program{QStringLiteral(LUMAREST_PROGRAM), {file}, env, work.path()};
    const bench::Side bare{
        QStringLiteral("gst-launch-1.0"),
        {"playbin", "uri=" + QUrl::fromLocalFile(file).toString(), "video-sink=glimagesink"},
        env,
        work.path()};
    const bool haveMpv = !QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty();
    const bench::Side mpv{QStringLiteral("mpv"), {"--no-config", file}, env, work.path()};

    bench::Samples programShare, bareShare, mpvShare, ratio;
    for (int round = 0; round < kRounds; ++round) {
        const double p = CoreShare(x, program);
        const double b = CoreShare(x, bare);
        const double m = haveMpv ? CoreShare(x, mpv) : -1;
        std::printf("round %d: program %.1f %%, bare playbin with the GL sink %.1f %%, mpv %s\n",
                    round + 1, p * 100, b * 100,
                    m >= 0 ? qPrintable(QString::number(m * 100, 'f', 1) + " %") : "-");
        std::fflush(stdout);
        if (p < 0 || b <= 0)
            continue;
        programShare.Add(p * 100);
        bareShare.Add(b * 100);
        ratio.Add(p / b);
        if (m >= 0)
            mpvShare.Add(m * 100);
    }
    ASSERT_FALSE(ratio.values.empty()) << "no round played to its end";
    bench::Target("Playing 1080p30 H.264: CPU, % of a core", programShare, "", 1000, false, 1);
    bench::Target("Playing 1080p30 H.264: bare playbin + GL sink, % of a core", bareShare, "", 1000,
                  false, 1);
    if (!mpvShare.values.empty())
        bench::Target("Playing 1080p30 H.264: mpv, % of a core", mpvShare, "", 1000, false, 1);
    bench::Target("Playing 1080p30 H.264: CPU vs bare playbin + GL sink", ratio, "x", 1.2);
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
