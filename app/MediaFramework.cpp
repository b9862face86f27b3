#include "app/MediaFramework.h"

#include "platform/media/DecoderRanks.h"

#include <gst/gst.h>

#include <future>
#include <thread>

namespace {

// The plugins of every playing graph, whatever the file: the graph itself, the outputs, and
// the conversions in front of them. Loading them is much of the time to a first picture.
constexpr const char* kCommonPlugins[] = {
    "playback", "coreelements", "typefindfunctions", "autodetect",
    "app",      "videofilter",  "deinterlace",       "videoconvertscale",
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
    void Begin(bool loadPlugins) {
        if (m_thread.joinable())
            return;
        std::promise<bool> ready;
        m_result = ready.get_future();
        m_thread = std::thread([loadPlugins, ready = std::move(ready)]() mutable {
            const bool ok = Start();
            ready.set_value(ok);
            if (ok && loadPlugins)
                LoadCommonPlugins();
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

void StartMediaFrameworkEarly(int argc, char**) {
    Early().Begin(argc > 1);
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
