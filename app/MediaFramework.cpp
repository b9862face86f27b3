#include "app/MediaFramework.h"

#include "platform/media/DecoderRanks.h"

#include <gst/gst.h>

namespace {
std::function<bool()>& Starter() {
    static std::function<bool()> starter;
    return starter;
}
} // namespace

bool StartMediaFramework() {
    if (Starter())
        return Starter()();
    GError* error = nullptr;
    const bool ok = gst_init_check(nullptr, nullptr, &error);
    if (error)
        g_error_free(error);
    if (ok)
        media::prepareDecoders();
    return ok;
}

void SetMediaFrameworkStarter(std::function<bool()> starter) {
    Starter() = std::move(starter);
}
