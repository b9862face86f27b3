#include "platform/media/StreamLength.h"

#include "platform/media/GstPtr.h"

#include <algorithm>
#include <charconv>

namespace media {
namespace {

constexpr std::string_view kDurationTag = "DURATION=";

// Reads the digits at the front of text into value and drops them; false when there are none.
bool takeNumber(std::string_view& text, gint64& value, int& digits) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < 0) {
        return false;
    }
    digits = static_cast<int>(end - text.data());
    text.remove_prefix(static_cast<size_t>(digits));
    return true;
}

// Where a stream's segment stops, in stream time.
std::optional<gint64> segmentEnd(GstPad* pad) {
    GstPtr<GstEvent> event(gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0));
    if (!event) {
        return std::nullopt;
    }
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event.get(), &segment);
    std::optional<gint64> end;
    if (segment->format == GST_FORMAT_TIME && GST_CLOCK_TIME_IS_VALID(segment->stop)) {
        const guint64 time = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, segment->stop);
        if (GST_CLOCK_TIME_IS_VALID(time)) {
            end = static_cast<gint64>(time);
        }
    }
    return end;
}

// Matroska files keep each track's length as a DURATION tag, which reaches us as a comment.
std::optional<gint64> taggedLength(GstElement* playbin, const char* tagsSignal, int stream) {
    GstTagList* raw = nullptr;
    g_signal_emit_by_name(playbin, tagsSignal, stream, &raw);
    GstPtr<GstTagList> tags(raw);
    if (!tags) {
        return std::nullopt;
    }
    const guint count = gst_tag_list_get_tag_size(tags.get(), GST_TAG_EXTENDED_COMMENT);
    for (guint i = 0; i < count; ++i) {
        const gchar* comment = nullptr;
        if (gst_tag_list_peek_string_index(tags.get(), GST_TAG_EXTENDED_COMMENT, i, &comment) &&
            std::string_view(comment).starts_with(kDurationTag)) {
            return durationTagValue(std::string_view(comment).substr(kDurationTag.size()));
        }
    }
    return std::nullopt;
}

std::optional<gint64> streamEnd(GstElement* playbin, const char* padSignal, const char* tagsSignal,
                                int stream) {
    GstPad* raw = nullptr;
    g_signal_emit_by_name(playbin, padSignal, stream, &raw);
    GstPtr<GstPad> pad(raw);
    std::optional<gint64> end = pad ? segmentEnd(pad.get()) : std::nullopt;
    return end ? end : taggedLength(playbin, tagsSignal, stream);
}

} // namespace

std::optional<gint64> durationTagValue(std::string_view text) {
    gint64 hours = 0;
    gint64 minutes = 0;
    gint64 seconds = 0;
    int digits = 0;
    const auto colon = [&text] {
        const bool there = text.starts_with(':');
        text.remove_prefix(there ? 1 : 0);
        return there;
    };
    if (!takeNumber(text, hours, digits) || !colon() || !takeNumber(text, minutes, digits) ||
        !colon() || !takeNumber(text, seconds, digits) || minutes > 59 || seconds > 59) {
        return std::nullopt;
    }
    gint64 nanoseconds = ((hours * 60 + minutes) * 60 + seconds) * GST_SECOND;
    if (text.starts_with('.')) {
        text.remove_prefix(1);
        gint64 fraction = 0;
        if (!takeNumber(text, fraction, digits)) {
            return std::nullopt;
        }
        // Nine places are nanoseconds; more are cut, fewer filled.
        for (; digits > 9; --digits) {
            fraction /= 10;
        }
        for (; digits < 9; ++digits) {
            fraction *= 10;
        }
        nanoseconds += fraction;
    }
    return text.empty() ? std::optional<gint64>(nanoseconds) : std::nullopt;
}

std::optional<gint64> pictureAndSoundLength(GstElement* playbin) {
    gint videos = 0;
    gint audios = 0;
    g_object_get(playbin, "n-video", &videos, "n-audio", &audios, nullptr);
    std::optional<gint64> longest;
    const auto take = [&](const char* padSignal, const char* tagsSignal, int count) {
        for (int stream = 0; stream < count; ++stream) {
            const std::optional<gint64> end = streamEnd(playbin, padSignal, tagsSignal, stream);
            if (!end) {
                return false;
            }
            longest = std::max(longest.value_or(0), *end);
        }
        return true;
    };
    if (!take("get-video-pad", "get-video-tags", videos) ||
        !take("get-audio-pad", "get-audio-tags", audios)) {
        return std::nullopt;
    }
    return longest;
}

} // namespace media
