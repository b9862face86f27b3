// The graph's sound and subtitle tracks: playbin's streams of each kind, their tags, and the
// one it plays. Switching goes through playbin's stream selectors, so the medium goes on
// where it is.
#include "platform/media/GstPtr.h"
#include "platform/media/PlaybinGraph.h"

namespace media {
namespace {

// The playbin properties and signal that speak of one kind of stream.
struct TrackKind {
    const char* count;
    const char* current;
    const char* tagsSignal;
};
constexpr TrackKind kSound{"n-audio", "current-audio", "get-audio-tags"};
constexpr TrackKind kSubtitle{"n-text", "current-text", "get-text-tags"};

QString tagText(const GstTagList* tags, const char* tag) {
    gchar* value = nullptr;
    QString text;
    if (gst_tag_list_get_string(tags, tag, &value) && value != nullptr)
        text = QString::fromUtf8(value).trimmed();
    g_free(value);
    return text;
}

int trackCount(GstElement* playbin, const TrackKind& kind) {
    gint count = 0;
    g_object_get(playbin, kind.count, &count, nullptr);
    return count > 0 ? count : 0;
}

std::vector<TrackTags> readTracks(GstElement* playbin, const TrackKind& kind) {
    std::vector<TrackTags> tracks(static_cast<size_t>(trackCount(playbin, kind)));
    for (size_t i = 0; i < tracks.size(); ++i) {
        GstTagList* raw = nullptr;
        g_signal_emit_by_name(playbin, kind.tagsSignal, static_cast<gint>(i), &raw);
        const GstPtr<GstTagList> tags(raw);
        if (tags) {
            tracks[i].language = tagText(tags.get(), GST_TAG_LANGUAGE_CODE);
            tracks[i].title = tagText(tags.get(), GST_TAG_TITLE);
        }
    }
    return tracks;
}

int currentTrack(GstElement* playbin, const TrackKind& kind) {
    gint current = -1;
    g_object_get(playbin, kind.current, &current, nullptr);
    return current >= 0 && current < trackCount(playbin, kind) ? current : -1;
}

HRESULT selectTrack(GstElement* playbin, const TrackKind& kind, int index) {
    if (index < 0 || index >= trackCount(playbin, kind))
        return E_INVALIDARG;
    g_object_set(playbin, kind.current, static_cast<gint>(index), nullptr);
    return S_OK;
}

} // namespace

std::vector<TrackTags> PlaybinGraph::SoundTracks() const {
    return m_rendered ? readTracks(m_playbin.get(), kSound) : std::vector<TrackTags>{};
}

int PlaybinGraph::CurrentSoundTrack() const {
    return m_rendered ? currentTrack(m_playbin.get(), kSound) : -1;
}

// The sound already queued for the output would play out first (most of a second); a seek
// to where the medium is drops it, so the new track is heard at once. The seek comes first:
// a flush that meets the stream selector while it changes its stream can lock the pipeline
// up. Nor is it made while the pipeline is still settling from another seek. A stream that
// cannot seek plays out what it has.
HRESULT PlaybinGraph::SelectSoundTrack(int index) {
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    if (index < 0 || index >= trackCount(m_playbin.get(), kSound)) {
        return E_INVALIDARG;
    }
    if (index == currentTrack(m_playbin.get(), kSound)) {
        return S_OK;
    }
    const bool settled =
        gst_element_get_state(m_playbin.get(), nullptr, nullptr, 0) == GST_STATE_CHANGE_SUCCESS;
    if (settled && m_durationNs.value_or(0) > 0) {
        seekHere();
    }
    return selectTrack(m_playbin.get(), kSound, index);
}

std::vector<TrackTags> PlaybinGraph::SubtitleTracks() const {
    return m_rendered ? readTracks(m_playbin.get(), kSubtitle) : std::vector<TrackTags>{};
}

int PlaybinGraph::CurrentSubtitleTrack() const {
    return m_rendered ? currentTrack(m_playbin.get(), kSubtitle) : -1;
}

HRESULT PlaybinGraph::SelectSubtitleTrack(int index) {
    return m_rendered ? selectTrack(m_playbin.get(), kSubtitle, index) : E_UNEXPECTED;
}

} // namespace media
