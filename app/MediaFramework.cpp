#include "app/MediaFramework.h"

#include "platform/media/DecoderRanks.h"
#include "platform/media/SinkChoice.h"
#include "platform/media/SinkOpenedAhead.h"

#include <gst/gst.h>

#include <QByteArray>
#include <QList>
#include <cstring>

#include <future>
#include <thread>

namespace {

// The plugins of every playing graph, whatever the file: the graph itself, the outputs, and
// the conversions in front of them. Loading them is much of the time to a first picture.
constexpr const char* kCommonPlugins[] = {
    "playback", "coreelements", "typefindfunctions", "autodetect",
    "opengl",   "videofilter",  "deinterlace",       "videoconvertscale",
    "volume",   "audioconvert", "audioresample"};

std::function<bool()>& Starter() {
    static std::function<bool()> starter;
    return starter;
}

bool Start() {
    GError* error = nullptr;
    const bool ok = gst_init_check(nullptr, nullptr, &error);
    if (error)
        g_error_free(error);
    if (ok)
        media::prepareDecoders();
    return ok;
}

void LoadCommonPlugins() {
    for (const char* name : kCommonPlugins)
        if (GstPlugin* plugin = gst_plugin_load_by_name(name))
            gst_object_unref(plugin);
}

// The start-up on a thread of its own; the thread is waited for when the process ends.
class EarlyStart {
public:
    ~EarlyStart() {
        if (m_thread.joinable())
            m_thread.join();
    }
    // With a video sink named, it is opened once the plugins are in.
    void Begin(bool loadPlugins, const std::string& videoSink) {
        if (m_thread.joinable())
            return;
        const bool openSink = loadPlugins && !videoSink.empty();
        if (openSink)
            media::planVideoSinkAhead(videoSink);
        std::promise<bool> ready;
        m_result = ready.get_future();
        m_thread = std::thread([loadPlugins, openSink, ready = std::move(ready)]() mutable {
            const bool ok = Start();
            ready.set_value(ok);
            if (ok && loadPlugins)
                LoadCommonPlugins();
            if (ok && openSink)
                media::openVideoSinkAhead();
            else if (openSink)
                media::cancelVideoSinkAhead();
        });
    }
    // The result once, then nothing (false) to wait for.
    bool Take(bool& ok) {
        if (!m_result.valid())
            return false;
        ok = m_result.get();
        return true;
    }

private:
    std::thread m_thread;
    std::future<bool> m_result;
};

EarlyStart& Early() {
    static EarlyStart early;
    return early;
}

} // namespace

void StartMediaFrameworkEarly(int argc, char** argv) {
    const bool fileNamed = argc > 1;
    Early().Begin(fileNamed, fileNamed ? VideoSinkForArguments(argc, argv) : std::string());
}

// Qt's own options choose another display or platform: the sink is then left to the graph.
std::string VideoSinkForArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        for (const char* option : {"-display", "-platform"})
            if (std::strcmp(arg, option) == 0 || (arg[0] == '-' && std::strcmp(arg + 1, option) == 0))
                return {};
    }
    // The first of a list of choices, without its options.
    QByteArray platform = qgetenv("QT_QPA_PLATFORM").split(';').front().split(':').front();
    if (platform.isEmpty())
        platform = qgetenv("XDG_SESSION_TYPE") == "wayland" ? "wayland" : "xcb";
    return media::chooseSinks(platform.toStdString(), qgetenv("LUMAREST_VIDEOSINK").toStdString(), "").video;
}

bool StartMediaFramework() {
    if (Starter())
        return Starter()();
    bool ok = false;
    return Early().Take(ok) ? ok : Start();
}

void SetMediaFrameworkStarter(std::function<bool()> starter) {
    Starter() = std::move(starter);
}
