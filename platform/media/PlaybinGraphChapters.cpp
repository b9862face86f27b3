// The chapters of a medium, from the table of contents its demuxer posts (Matroska's
// editions and chapters), or from an MP4's own chapter list: where each chapter of the
// first level starts, and its title.
#include "platform/media/Mp4Chapters.h"
#include "platform/media/PlaybinGraph.h"

#include <algorithm>

namespace media {

namespace {
struct TocUnref {
    void operator()(GstToc* toc) const { gst_toc_unref(toc); }
};

using Chapter = std::pair<LONGLONG, QString>;

QString titleOf(GstTocEntry* entry) {
    const GstTagList* tags = gst_toc_entry_get_tags(entry);
    gchar* title = nullptr;
    QString text;
    if (tags != nullptr && gst_tag_list_get_string(tags, GST_TAG_TITLE, &title) && title)
        text = QString::fromUtf8(title).trimmed();
    g_free(title);
    return text;
}

// The chapters directly in the list, or in its editions.
void collectStarts(GList* entries, std::vector<Chapter>& starts) {
    for (GList* item = entries; item; item = item->next) {
        auto* entry = static_cast<GstTocEntry*>(item->data);
        if (gst_toc_entry_get_entry_type(entry) == GST_TOC_ENTRY_TYPE_EDITION) {
            collectStarts(gst_toc_entry_get_sub_entries(entry), starts);
            continue;
        }
        gint64 start = -1;
        if (gst_toc_entry_get_entry_type(entry) == GST_TOC_ENTRY_TYPE_CHAPTER &&
            gst_toc_entry_get_start_stop_times(entry, &start, nullptr) && start >= 0)
            starts.emplace_back(start / 100, titleOf(entry));
    }
}

// The chapters in order of their starts, one to a start.
void keepChapters(std::vector<Chapter> chapters, std::vector<LONGLONG>& starts,
                  std::vector<QString>& titles) {
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const Chapter& a, const Chapter& b) { return a.first < b.first; });
    starts.clear();
    titles.clear();
    for (const auto& [start, title] : chapters) {
        if (!starts.empty() && starts.back() == start)
            continue;
        starts.push_back(start);
        titles.push_back(title);
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
    std::vector<Chapter> chapters;
    collectStarts(gst_toc_get_entries(toc.get()), chapters);
    if (!chapters.empty()) { // an MP4's own list stands when its demuxer posts an empty one
        keepChapters(std::move(chapters), m_chapters, m_chapterTitles);
    }
}

// MP4's demuxer posts no table of contents for the chapter list such files keep.
void PlaybinGraph::takeMp4Chapters(const std::string& path) {
    std::vector<Chapter> chapters;
    for (const Mp4Chapter& chapter : mp4Chapters(path))
        chapters.emplace_back(chapter.start, QString::fromStdString(chapter.title));
    keepChapters(std::move(chapters), m_chapters, m_chapterTitles);
}

} // namespace media
