// Open -> first frame on screen: the whole program started with a 640x360 video, against a
// bare playbin (gst-launch-1.0) drawing the same file with the GL sink, both as
// whole processes on an X server of their own (Xvfb with openbox), run alternately. Each run
// is timed from the start of the process to the first look at the screen that shows the
// video's test pattern.
#include "MediaFixtures.h"
#include "WholeProcess.h"

#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kPairs = 21;
// The sink a plain playbin draws with on a desktop with GL; the program paints its frames itself.
constexpr const char* kVideoSink = "glimagesink";

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

TEST(BenchFirstFrame, ProgramAgainstBarePlaybin) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "gst-launch-1.0"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString file = fixtures::makeMedia(fixtures::Media::AviMjpeg, media.path(),
                                             QStringLiteral("clip.avi"), 5, QSize(640, 360));
    ASSERT_FALSE(file.isEmpty());

    XSession x;
    ASSERT_TRUE(x.Start(QSize(1024, 768)));
    bench::Screen screen(x.Display());
    ASSERT_TRUE(screen.ok());

    const QProcessEnvironment env = x.UserEnvironment(config.path());
    const bench::Side program{QStringLiteral(LUMAREST_PROGRAM), {file}, env, work.path()};
    const bench::Side bare{QStringLiteral("gst-launch-1.0"),
                           {"playbin", "uri=" + QUrl::fromLocalFile(file).toString(),
                            QStringLiteral("video-sink=%1").arg(kVideoSink)},
                           env,
                           work.path()};

    std::printf("floor: gst-launch-1.0 playbin video-sink=%s\n", kVideoSink);
    const bench::Alternated runs = bench::RunAlternately(
        x, program, bare, [&] { return ShowsPattern(screen); }, kPairs);
    ASSERT_FALSE(runs.ratio.values.empty()) << "no run showed the picture";
    bench::Target("Open -> first frame vs bare playbin + GL sink (640x360)", runs.ratio, "x", 1.0);
}

} // namespace
