#include "app/MediaFramework.h"

#include "platform/media/DecoderRanks.h"

#include <gst/gst.h>

#include <future>

namespace {

// The plugins of every playing graph, whatever the file: the graph itself, the outputs, and
// the conversions in front of them. Loading them is most of the framework's start-up cost.
constexpr const char* kCommonPlugins[] = {
    "playback", "coreelements", "typefindfunctions", "autodetect",
    "opengl",   "videofilter",  "deinterlace",       "videoconvertscale",
    "volume",   "audioconvert", "audioresample"};

std::function<bool()>& Starter() {
    static std::function<bool()> starter;
    return starter;
}

std::future<bool>& EarlyStart() {
    static std::future<bool> early;
    return early;
}

bool Start() {
    GError* error = nullptr;
    const bool ok = gst_init_check(nullptr, nullptr, &error);
    if (error)
        g_error_free(error);
    if (!ok)
        return false;
    media::prepareDecoders();
    static const bool loaded = [] {
        for (const char* name : kCommonPlugins)
            if (GstPlugin* plugin = gst_plugin_load_by_name(name))
                gst_object_unref(plugin);
        return true;
    }();
    return loaded;
}

} // namespace

void StartMediaFrameworkEarly() {
    if (!EarlyStart().valid())
        EarlyStart() = std::async(std::launch::async, Start);
}

bool StartMediaFramework() {
    if (Starter())
        return Starter()();
    if (EarlyStart().valid())
        return EarlyStart().get();
    return Start();
}

void SetMediaFrameworkStarter(std::function<bool()> starter) {
    Starter() = std::move(starter);
}
