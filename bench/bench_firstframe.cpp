// Open -> first frame on screen: the whole program started with a 1080p H.264 video, against
// the bare pipeline that scales and shows on the X server as the program does (playbin with
// videoscale ! ximagesink) and mpv's X11 output when mpv is installed, all as whole processes
// on an X server of their own (Xvfb with openbox), run alternately. Each run is timed from
// the start of the process to the first look at the screen that shows the video's test
// pattern. The program marks its stages on the way (LUMAREST_STAGE_LOG), and the median time
// of each from the start of the process is printed: where the wait goes.
#include "MediaFixtures.h"
#include "WholeProcess.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

namespace {

constexpr int kPairs = 15;
// The bare pipeline's output: the frames scaled to its window and put on the X server, as the
// program does without a GPU.
constexpr const char* kVideoSink = "videoscale ! ximagesink";

// The yellow, cyan, magenta and blue bars of the pattern, each over a fair area; the bars are
// told by which of red, green and blue are lit (the levels depend on the sink).
bool ShowsPattern(bench::Screen& screen) {
    int counts[4] = {0, 0, 0, 0};
    screen.Scan([&](int, int, uint32_t p) {
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        const auto on = [](int level) { return level >= 150; };
        const auto off = [](int level) { return level <= 80; };
        counts[0] += on(r) && on(g) && off(b);  // yellow
        counts[1] += off(r) && on(g) && on(b);  // cyan
        counts[2] += on(r) && off(g) && on(b);  // magenta
        counts[3] += off(r) && off(g) && on(b); // blue
    });
    return std::all_of(std::begin(counts), std::end(counts), [](int n) { return n >= 40; });
}

using Clock = std::chrono::steady_clock;

// The stages the program marked, in milliseconds from its launch.
std::map<std::string, double> ReadStages(const QString& log, Clock::time_point launched) {
    std::map<std::string, double> stages;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return stages;
    const double at = double(
        std::chrono::duration_cast<std::chrono::microseconds>(launched.time_since_epoch()).count());
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() >= 2)
            stages[parts.mid(0, parts.size() - 1).join(' ').toStdString()] =
                (parts.last().toDouble() - at) / 1000.0;
    }
    return stages;
}

TEST(BenchFirstFrame, ProgramAgainstBarePipelineAndMpv) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "gst-launch-1.0"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString file = fixtures::makeMedia(fixtures::Media::Mp4H264, media.path(),
                                             QStringLiteral("clip.mp4"), 5, QSize(1920, 1080));
    ASSERT_FALSE(file.isEmpty());

    XSession x;
    ASSERT_TRUE(x.Start(QSize(1920, 1080)));
    bench::Screen screen(x.Display());
    ASSERT_TRUE(screen.ok());
    const auto shown = [&] { return ShowsPattern(screen); };

    const QProcessEnvironment env = x.UserEnvironment(config.path());
    const QString log = work.filePath(QStringLiteral("stages.txt"));
    QProcessEnvironment marked = env;
    marked.insert(QStringLiteral("LUMAREST_STAGE_LOG"), log);
    const bench::Side program{QStringLiteral(LUMAREST_PROGRAM), {file}, marked, work.path()};
    const bench::Side bare{QStringLiteral("gst-launch-1.0"),
                           {"playbin", "uri=" + QUrl::fromLocalFile(file).toString(),
                            QStringLiteral("video-sink=%1").arg(kVideoSink), "audio-sink=fakesink"},
                           env,
                           work.path()};
    const bool haveMpv = !QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty();
    const bench::Side mpv{
        QStringLiteral("mpv"), {"--no-config", "--vo=x11", "--ao=null", file}, env, work.path()};

    std::printf("floor: gst-launch-1.0 playbin video-sink=\"%s\"%s\n", kVideoSink,
                haveMpv ? ", and mpv --vo=x11" : "");
    // One run of each first: caches warm, files made.
    bench::TimeToScreen(x, program, shown);
    bench::TimeToScreen(x, bare, shown);
    if (haveMpv)
        bench::TimeToScreen(x, mpv, shown);
    bench::Samples ours, floor, peer, vsFloor, vsPeer;
    std::map<std::string, bench::Samples> stages;
    for (int i = 0; i < kPairs; ++i) {
        QFile::remove(log);
        const Clock::time_point launched = Clock::now();
        const double p = bench::TimeToScreen(x, program, shown);
        const double f = bench::TimeToScreen(x, bare, shown);
        const double m = haveMpv ? bench::TimeToScreen(x, mpv, shown) : -1;
        std::printf("round %2d: program %6.1f ms, bare pipeline %6.1f ms, mpv %6.1f ms\n", i + 1, p,
                    f, m);
        if (p <= 0 || f <= 0)
            continue;
        ours.Add(p);
        floor.Add(f);
        vsFloor.Add(p / f);
        for (const auto& [name, ms] : ReadStages(log, launched))
            stages[name].Add(ms);
        if (m > 0) {
            peer.Add(m);
            vsPeer.Add(p / m);
        }
    }
    ASSERT_FALSE(vsFloor.values.empty()) << "no run showed the picture";
    std::vector<std::pair<double, std::string>> order;
    for (const auto& [name, samples] : stages)
        order.push_back({samples.Median(), name});
    std::sort(order.begin(), order.end());
    std::printf("the program's stages, median from its launch:\n");
    for (const auto& [ms, name] : order)
        std::printf("  %-12s %7.1f ms\n", name.c_str(), ms);
    std::printf("  %-12s %7.1f ms\n", "on screen", ours.Median());
    bench::Target("Open -> first frame (1080p), ms", ours, "", 1e6, false, 1);
    bench::Target("Open -> first frame (1080p), bare pipeline, ms", floor, "", 1e6, false, 1);
    bench::Target("Open -> first frame vs bare videoscale ! ximagesink (1080p)", vsFloor, "x", 1.3);
    if (!vsPeer.values.empty()) {
        bench::Target("Open -> first frame (1080p), mpv --vo=x11, ms", peer, "", 1e6, false, 1);
        bench::Target("Open -> first frame vs mpv --vo=x11 (1080p)", vsPeer, "x", 1.0);
    }
}

} // namespace
