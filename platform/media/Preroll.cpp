#include "platform/media/Preroll.h"

#include "platform/media/BuildPace.h"
#include "platform/media/ErrorMapping.h"
#include "platform/media/ReaderFallback.h"
#include "platform/media/StallWatch.h"
#include "platform/media/WhileStarting.h"

#include <gst/pbutils/missing-plugins.h>

#include <algorithm>

namespace media {
namespace {

// How often a preroll looks for a stopped reader, and how long one may stay stopped before
// the preroll counts as stalled (a short file can be read to its end while the first picture
// is still being decoded and shown; that takes far less than this).
constexpr GstClockTime kStallPoll = 100 * GST_MSECOND;
constexpr GstClockTime kStallGrace = GST_SECOND * kBuildPace;
constexpr GstClockTime kEndedGrace = 4 * kStallGrace;

constexpr auto kWatched = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_WARNING |
                                                      GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ELEMENT);

bool tellsMissingDecoder(GstMessage* message) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT) {
        return gst_is_missing_plugin_message(message);
    }
    GError* rawError = nullptr;
    gst_message_parse_warning(message, &rawError, nullptr);
    GstPtr<GError> warning(rawError);
    return warning && warning->domain == GST_STREAM_ERROR &&
           warning->code == GST_STREAM_ERROR_CODEC_NOT_FOUND;
}

// Data stopped flowing ("Internal data stream error"), which is no refusal of the file.
bool tellsFlowStopped(GstMessage* message) {
    GError* rawError = nullptr;
    gst_message_parse_error(message, &rawError, nullptr);
    GstPtr<GError> error(rawError);
    return error && error->domain == GST_STREAM_ERROR && error->code == GST_STREAM_ERROR_FAILED;
}

HRESULT resultOfError(GstMessage* message, bool missingDecoder) {
    GError* rawError = nullptr;
    gst_message_parse_error(message, &rawError, nullptr);
    GstPtr<GError> error(rawError);
    return error ? resultForRenderError(error->domain, error->code, missingDecoder) : E_FAIL;
}

// The answer a network source reports from its server ("http-headers").
int httpStatusOf(GstMessage* message) {
    const GstStructure* s = gst_message_get_structure(message);
    guint status = 0;
    if (s && gst_structure_has_name(s, "http-headers"))
        gst_structure_get_uint(s, "http-status-code", &status);
    return static_cast<int>(status);
}

bool fromUriSource(GstMessage* message) {
    GstObject* source = GST_MESSAGE_SRC(message);
    return source && GST_IS_URI_HANDLER(source) &&
           gst_uri_handler_get_uri_type(GST_URI_HANDLER(source)) == GST_URI_SRC;
}

} // namespace

PrerollOutcome prerollPipeline(GstElement* pipeline, BusBridge& bus, GstClockTime timeout,
                               GstClockTime pumpEvery) {
    const GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL) {
        return {S_OK, {}, false};
    }
    // A refused state change has posted its error already; don't wait long for it.
    const GstClockTime bound = change == GST_STATE_CHANGE_FAILURE ? GST_SECOND / 2 : timeout;
    const GstClockTime deadline = gst_util_get_timestamp() + bound;
    bool missingDecoder = false;
    GstClockTime stoppedSince = GST_CLOCK_TIME_NONE;
    GstClockTime pumped = gst_util_get_timestamp();
    const GstClockTime poll = std::min(pumpEvery, kStallPoll);
    int httpStatus = 0;
    for (;;) {
        const GstClockTime now = gst_util_get_timestamp();
        if (now >= deadline) {
            return {E_FAIL, {}, false, httpStatus};
        }
        if (now - pumped >= poll) {
            WhileStarting::pump();
            pumped = gst_util_get_timestamp();
        }
        GstPtr<GstMessage> message = bus.pop(std::min(deadline - now, poll), kWatched);
        if (!message) {
            bool delivered = false;
            GstPtr<GstElement> stopped = stoppedReader(pipeline, &delivered);
            if (!stopped) {
                stoppedSince = GST_CLOCK_TIME_NONE;
            } else if (!GST_CLOCK_TIME_IS_VALID(stoppedSince)) {
                stoppedSince = gst_util_get_timestamp();
            } else if (gst_util_get_timestamp() - stoppedSince >=
                       (delivered ? kEndedGrace : kStallGrace)) {
                // Nothing can be shown: the file is not read, as far as anyone can tell.
                return {VFW_E_UNSUPPORTED_STREAM, alternativeTo(stopped.get()), false, httpStatus};
            }
            continue;
        }
        switch (GST_MESSAGE_TYPE(message.get())) {
        case GST_MESSAGE_ERROR:
            return {resultOfError(message.get(), missingDecoder),
                    readerWithAlternative(message.get()), tellsFlowStopped(message.get()),
                    httpStatus, fromUriSource(message.get())};
        case GST_MESSAGE_ASYNC_DONE:
            if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline)) {
                return {S_OK, {}, false};
            }
            break;
        default:
            httpStatus = std::max(httpStatus, httpStatusOf(message.get()));
            missingDecoder = missingDecoder || tellsMissingDecoder(message.get());
            break;
        }
    }
}

} // namespace media
