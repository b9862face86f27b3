// A subtitle file beside a video is read as the kind its ending names. GStreamer's type
// finder cannot tell a short file (a single line) from any other text, and would drop it.
#pragma once

#include <gst/gst.h>

#include <mutex>
#include <string>
#include <string_view>

namespace media {

// The caps a subtitle file of that name or URI is read as (".srt" application/x-subtitle,
// ...), whatever the ending's case; null for an ending of no known subtitle kind.
const char* subtitleCapsForName(std::string_view name);

// Watches the playbin given for the reader of its subtitle file, and tells that reader's
// type finder what the file is. Lives no longer than the playbin, which is in the NULL
// state by the time this goes.
class SubtitleKind {
public:
    explicit SubtitleKind(GstElement* playbin);
    ~SubtitleKind();
    SubtitleKind(const SubtitleKind&) = delete;
    SubtitleKind& operator=(const SubtitleKind&) = delete;

    // The subtitle file's URI from now on; set while the playbin is in the NULL state.
    void setUri(const std::string& uri);

private:
    static void onElementSetup(GstElement* playbin, GstElement* element, gpointer self);
    void tellTypeFinder(GstElement* typeFinder);

    GstElement* m_playbin;
    gulong m_handler = 0;
    std::mutex m_mutex; // elements are set up on the pipeline's threads
    std::string m_uri;  // guarded by m_mutex
};

} // namespace media
