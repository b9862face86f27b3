// Streams from the network: the server reached first, then the chain built, all within the
// stream start limit and with the program's pump running every few milliseconds.
#include "platform/media/BuildPace.h"
#include "platform/media/PlaybinGraph.h"
#include "platform/media/Preroll.h"
#include "platform/media/StreamReach.h"

namespace media {
namespace {
constexpr GstClockTime kStreamPump = 10 * GST_MSECOND;
} // namespace

HRESULT PlaybinGraph::renderStream(const std::string& uri) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + streamStartLimit() * kBuildPace;
    m_uri = uri;
    if (const StreamFault reach = reachStream(uri, deadline); reach != StreamFault::None) {
        m_streamFailure = {reach, 0};
        return E_FAIL;
    }
    m_stream = true;
    m_bus->beginRendering();
    m_subtitleKind->setUri({});
    g_object_set(m_playbin.get(), "uri", uri.c_str(), "suburi", nullptr, nullptr);
    if (m_frames) {
        m_frames->turn("auto");
    }
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
    const PrerollOutcome outcome =
        prerollPipeline(m_playbin.get(), *m_bus,
                        static_cast<GstClockTime>(std::max<int64_t>(left.count(), 0)), kStreamPump);
    if (FAILED(outcome.result) || outcome.httpStatus >= 400) {
        m_streamFailure = {
            faultOfPreroll(outcome.httpStatus, outcome.sourceFailed, Clock::now() >= deadline),
            outcome.httpStatus};
    }
    const HRESULT hr = takeRendered(outcome.httpStatus >= 400 ? E_FAIL : outcome.result, false);
    if (FAILED(hr) && m_streamFailure.fault == StreamFault::None) {
        m_streamFailure = {StreamFault::NotPlayable, outcome.httpStatus};
    }
    return hr;
}

void PlaybinGraph::takeStreamTitle(GstMessage* tag) {
    GstTagList* raw = nullptr;
    gst_message_parse_tag(tag, &raw);
    const GstPtr<GstTagList> list(raw);
    gchar* rawTitle = nullptr;
    if (!list || !gst_tag_list_get_string(list.get(), GST_TAG_TITLE, &rawTitle)) {
        return;
    }
    const GstPtr<gchar> title(rawTitle);
    const QString text = QString::fromUtf8(title.get()).trimmed();
    if (!text.isEmpty() && text != m_streamTitle) {
        m_streamTitle = text;
        if (m_tagsNotify) {
            m_tagsNotify();
        }
    }
}

} // namespace media
