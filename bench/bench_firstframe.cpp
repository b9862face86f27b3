// Open -> first frame on screen: the whole program started with a 640x360 video, against a
// bare playbin (gst-launch-1.0) drawing the same file with the same video sink, both as
// whole processes on an X server of their own (Xvfb with openbox). Runs alternate; each is
// timed from the start of the process to the first screenshot of the root window that
// shows the video's test pattern, read by the same code for both sides.
#include "MediaFixtures.h"
#include "XSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kPairs = 9;
constexpr int kTimeoutMs = 10000;
constexpr const char* kVideoSink = "glimagesink"; // the program's own choice under X
constexpr int kRowStep = 8;

// Bars told by which of red, green and blue are lit (the levels depend on the sink).
void countBar(uint32_t p, int counts[4]) {
    const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
    const auto on = [](int level) { return level >= 150; };
    const auto off = [](int level) { return level <= 80; };
    counts[0] += on(r) && on(g) && off(b);  // yellow
    counts[1] += off(r) && on(g) && on(b);  // cyan
    counts[2] += on(r) && off(g) && on(b);  // magenta
    counts[3] += off(r) && off(g) && on(b); // blue
}

// The screen of the session's X server, read through a connection of our own.
class Screen {
public:
    explicit Screen(const QString& display)
        : m_connection(xcb_connect(display.toLatin1().constData(), nullptr)) {
        if (m_connection && !xcb_connection_has_error(m_connection)) {
            const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
            m_root = screen->root;
            m_width = screen->width_in_pixels;
            m_height = screen->height_in_pixels;
        }
    }
    ~Screen() {
        if (m_connection)
            xcb_disconnect(m_connection);
    }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    bool ok() const { return m_root != 0; }

    // The yellow, cyan, magenta and blue bars of the pattern, each over a fair area. Every
    // 8th row is read (requests sent at once, then the replies read), every 4th pixel of it:
    // a few hundred kilobytes a look, so that looking does not slow what is looked at.
    bool showsPattern() {
        std::vector<xcb_get_image_cookie_t> rows;
        for (int y = 0; y < m_height; y += kRowStep)
            rows.push_back(xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, 0,
                                         static_cast<int16_t>(y), m_width, 1, ~0u));
        int counts[4] = {0, 0, 0, 0};
        for (const xcb_get_image_cookie_t& cookie : rows) {
            const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> row(
                xcb_get_image_reply(m_connection, cookie, nullptr), &std::free);
            if (!row || xcb_get_image_data_length(row.get()) < m_width * 4)
                continue;
            const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(row.get()));
            for (int x = 0; x < m_width; x += 4)
                countBar(pixels[x], counts);
        }
        return std::all_of(std::begin(counts), std::end(counts), [](int n) { return n >= 40; });
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
    int m_width = 0;
    int m_height = 0;
};

struct Side {
    QString program;
    QStringList args;
    QProcessEnvironment env;
    QString workDir;
};

// Milliseconds from the start of the process to the pattern on screen; -1 when it never came.
double timeToFirstFrame(XSession& x, Screen& screen, const Side& side) {
    QElapsedTimer clock;
    clock.start();
    QProcess& process = x.Launch(side.program, side.args, side.env, side.workDir);
    double ms = -1;
    while (clock.elapsed() < kTimeoutMs && process.state() != QProcess::NotRunning) {
        if (screen.showsPattern()) {
            ms = clock.nsecsElapsed() / 1e6;
            break;
        }
        QThread::usleep(500);
    }
    XSession::Stop(process);
    // The next run starts from an empty screen.
    XSession::WaitFor([&] { return !screen.showsPattern(); }, 3000, 20);
    QThread::msleep(150);
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
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
    Screen screen(x.Display());
    ASSERT_TRUE(screen.ok());

    QProcessEnvironment env = x.Environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", config.path());
    env.remove("LUMAREST_VIDEOSINK");
    env.remove("LUMAREST_AUDIOSINK");
    env.remove("GST_DEBUG");
    const Side program{QStringLiteral(LUMAREST_PROGRAM), {file}, env, work.path()};
    const Side bare{QStringLiteral("gst-launch-1.0"),
                    {"playbin", "uri=" + QUrl::fromLocalFile(file).toString(),
                     QStringLiteral("video-sink=%1").arg(kVideoSink)},
                    env,
                    work.path()};

    // One of each first: caches warm, the catalogue made.
    ASSERT_GT(timeToFirstFrame(x, screen, program), 0) << "the program showed no picture";
    ASSERT_GT(timeToFirstFrame(x, screen, bare), 0) << "the bare playbin showed no picture";

    std::vector<double> programMs, bareMs, ratios;
    for (int i = 0; i < kPairs; ++i) {
        const double p = timeToFirstFrame(x, screen, program);
        const double b = timeToFirstFrame(x, screen, bare);
        if (p <= 0 || b <= 0)
            continue;
        programMs.push_back(p);
        bareMs.push_back(b);
        ratios.push_back(p / b);
        std::printf("pair %d: program %7.1f ms, bare playbin %7.1f ms, ratio %.2fx\n", i + 1, p, b,
                    p / b);
    }
    ASSERT_FALSE(ratios.empty());
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("program to first frame: median %.1f ms (%.1f to %.1f)\n", median(programMs),
                *std::min_element(programMs.begin(), programMs.end()),
                *std::max_element(programMs.begin(), programMs.end()));
    std::printf("bare playbin (%s): median %.1f ms (%.1f to %.1f)\n", kVideoSink, median(bareMs),
                *std::min_element(bareMs.begin(), bareMs.end()),
                *std::max_element(bareMs.begin(), bareMs.end()));
    const double m = median(ratios);
    std::printf(
        "TARGET|Open -> first frame vs bare playbin (640x360)|%.2fx|%.2fx|%.2fx|<=1.2x|%s\n", m,
        *lo, *hi, m <= 1.2 ? "yes" : "no");
}

} // namespace
