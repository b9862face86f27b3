#pragma once
// Whole processes timed on an X server of their own (Xvfb with openbox): each run is timed
// from the start of the process to the first look at the screen that shows what the run is
// waiting for, read by the same code for both sides. The program and its floor run
// alternately, so that a busy machine slows both alike; each pair gives one ratio.
#include "BenchSupport.h"
#include "XSession.h"

#include <QElapsedTimer>
#include <QThread>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

// Processor time a process has used so far (user and system), in seconds; -1 when it
// cannot be read.
inline double ProcessCpuSeconds(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) // state ... cmajflt: fields 3 to 13
        fields >> skip;
    long long user = 0, system = 0;
    fields >> user >> system;
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

// Resident memory of a running process, in KiB (0 when it cannot be read).
inline long ProcessRssKiB(qint64 pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// The screen of a session's X server, read through a connection of our own.
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
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Hands every 4th pixel of every 8th row (0xRRGGBB, with its place) to look: requests
    // sent at once, then the replies read; a few hundred kilobytes a look, so that looking
    // does not slow what is looked at.
    void Scan(const std::function<void(int x, int y, uint32_t pixel)>& look) {
        constexpr int kRowStep = 8;
        std::vector<std::pair<int, xcb_get_image_cookie_t>> rows;
        for (int y = 0; y < m_height; y += kRowStep)
            rows.emplace_back(y, xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, 0,
                                               static_cast<int16_t>(y), m_width, 1, ~0u));
        for (const auto& [y, cookie] : rows) {
            const std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> row(
                xcb_get_image_reply(m_connection, cookie, nullptr), &std::free);
            if (!row || xcb_get_image_data_length(row.get()) < m_width * 4)
                continue;
            const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(row.get()));
            for (int x = 0; x < m_width; x += 4)
                look(x, y, pixels[x] & 0xffffff);
        }
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

// Milliseconds from the start of the process to shown() on screen; -1 when it never came.
// seen, if given, looks at the process then. The process is ended afterwards, and the screen
// given time to become empty again.
inline double TimeToScreen(XSession& x, const Side& side, const std::function<bool()>& shown,
                           const std::function<void(qint64 pid)>& seen = {},
                           int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    QProcess& process = x.Launch(side.program, side.args, side.env, side.workDir);
    double ms = -1;
    while (clock.elapsed() < timeoutMs && process.state() != QProcess::NotRunning) {
        if (shown()) {
            ms = double(clock.nsecsElapsed()) / 1e6;
            if (seen)
                seen(process.processId());
            break;
        }
        QThread::usleep(2000);
    }
    XSession::Stop(process);
    XSession::WaitFor([&] { return !shown(); }, 3000, 20);
    QThread::msleep(150);
    return ms;
}

struct Alternated {
    Samples program, floor, ratio;
};

// One run of each first (caches warm, files made), then pairs of runs, program first.
// Pairs where either side showed nothing are left out; none at all leaves the samples empty.
inline Alternated RunAlternately(XSession& x, const Side& program, const Side& floor,
                                 const std::function<bool()>& shown, int pairs) {
    Alternated result;
    if (TimeToScreen(x, program, shown) <= 0 || TimeToScreen(x, floor, shown) <= 0)
        return result;
    for (int i = 0; i < pairs; ++i) {
        const double p = TimeToScreen(x, program, shown);
        const double f = TimeToScreen(x, floor, shown);
        if (p <= 0 || f <= 0)
            continue;
        result.program.Add(p);
        result.floor.Add(f);
        result.ratio.Add(p / f);
        std::printf("pair %2d: program %7.1f ms, floor %7.1f ms, ratio %.2fx\n", i + 1, p, f,
                    p / f);
    }
    std::printf("program: median %.1f ms (%.1f to %.1f)\n", result.program.Median(),
                result.program.Min(), result.program.Max());
    std::printf("floor:   median %.1f ms (%.1f to %.1f)\n", result.floor.Median(),
                result.floor.Min(), result.floor.Max());
    std::fflush(stdout);
    return result;
}

} // namespace bench
