#include "platform/media/SinkOpenedAhead.h"

#include "platform/media/SinkChoice.h"

#include <condition_variable>
#include <mutex>

namespace media {
namespace {

struct Ahead {
    std::mutex mutex;
    std::condition_variable done;
    std::string description;
    bool opening = false;
    GstPtr<GstElement> sink;
};

Ahead& ahead() {
    static Ahead state;
    return state;
}

void closeSink(GstPtr<GstElement> sink) {
    if (sink) {
        gst_element_set_state(sink.get(), GST_STATE_NULL);
    }
}

} // namespace

void planVideoSinkAhead(const std::string& description) {
    Ahead& a = ahead();
    std::lock_guard lock(a.mutex);
    if (!a.opening && !a.sink) {
        a.description = description;
        a.opening = true;
    }
}

void openVideoSinkAhead() {
    Ahead& a = ahead();
    std::string description;
    {
        std::lock_guard lock(a.mutex);
        if (!a.opening) {
            return;
        }
        description = a.description;
    }
    GstPtr<GstElement> sink = makeSink(description, true);
    if (sink && gst_element_set_state(sink.get(), GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        closeSink(std::move(sink));
    }
    std::lock_guard lock(a.mutex);
    a.sink = std::move(sink);
    a.opening = false;
    a.done.notify_all();
}

void cancelVideoSinkAhead() {
    Ahead& a = ahead();
    std::lock_guard lock(a.mutex);
    a.opening = false;
    a.description.clear();
    a.done.notify_all();
}

bool videoSinkOpeningAhead(const std::string& description) {
    Ahead& a = ahead();
    std::lock_guard lock(a.mutex);
    return a.opening && a.description == description;
}

GstPtr<GstElement> takeVideoSinkOpenedAhead(const std::string& description) {
    Ahead& a = ahead();
    std::unique_lock lock(a.mutex);
    if (a.description != description) {
        return nullptr;
    }
    a.done.wait(lock, [&] { return !a.opening; });
    a.description.clear();
    return std::move(a.sink);
}

void dropVideoSinkOpenedAhead() {
    Ahead& a = ahead();
    GstPtr<GstElement> sink;
    {
        std::unique_lock lock(a.mutex);
        a.done.wait(lock, [&] { return !a.opening; });
        a.description.clear();
        sink = std::move(a.sink);
    }
    closeSink(std::move(sink));
}

} // namespace media
