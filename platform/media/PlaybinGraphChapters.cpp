// The chapters of a medium, from the table of contents its demuxer posts (Matroska's
// editions and chapters), or from an MP4's own chapter list: where each chapter of the
// first level starts.
#include "platform/media/Mp4Chapters.h"
#include "platform/media/PlaybinGraph.h"

#include <algorithm>

namespace media {

namespace {
struct TocUnref {
    void operator()(GstToc* toc) const { gst_toc_unref(toc); }
};

// The chapters directly in the list, or in its editions.
void collectStarts(GList* entries, std::vector<LONGLONG>& starts) {
    for (GList* item = entries; item; item = item->next) {
        auto* entry = static_cast<GstTocEntry*>(item->data);
        if (gst_toc_entry_get_entry_type(entry) == GST_TOC_ENTRY_TYPE_EDITION) {
            collectStarts(gst_toc_entry_get_sub_entries(entry), starts);
            continue;
        }
        gint64 start = -1;
        if (gst_toc_entry_get_entry_type(entry) == GST_TOC_ENTRY_TYPE_CHAPTER &&
            gst_toc_entry_get_start_stop_times(entry, &start, nullptr) && start >= 0)
            starts.push_back(start / 100);
    }
}
} // namespace

void PlaybinGraph::takeChapters(GstMessage* message) {
    GstToc* raw = nullptr;
    gboolean updated = FALSE;
    gst_message_parse_toc(message, &raw, &updated);
    const std::unique_ptr<GstToc, TocUnref> toc(raw);
    if (!toc || gst_toc_get_scope(toc.get()) != GST_TOC_SCOPE_GLOBAL)
        return;
    std::vector<LONGLONG> starts;
    collectStarts(gst_toc_get_entries(toc.get()), starts);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    if (!starts.empty()) { // an MP4's own list stands when its demuxer posts an empty one
        m_chapters = std::move(starts);
    }
}

// MP4's demuxer posts no table of contents for the chapter list such files keep.
void PlaybinGraph::takeMp4Chapters(const std::string& path) {
    std::vector<LONGLONG> starts;
    for (const Mp4Chapter& chapter : mp4Chapters(path))
        if (starts.empty() || chapter.start > starts.back())
            starts.push_back(chapter.start);
    m_chapters = std::move(starts);
}

} // namespace media
