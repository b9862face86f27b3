#include "platform/media/SubtitleKind.h"

#include "platform/media/GstPtr.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace media {
namespace {

// The endings a subtitle file is looked for under beside a video, and what each is.
constexpr std::array<std::pair<std::string_view, const char*>, 4> kKinds = {{
    {".srt", "application/x-subtitle"},
    {".ass", "application/x-ass"},
    {".ssa", "application/x-ssa"},
    {".vtt", "application/x-subtitle-vtt"},
}};

bool endsWithIgnoringCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// The URI read by the nearest URI decoder around element; empty when none is.
std::string uriReadAround(GstElement* element) {
    GstPtr<GstObject> bin(gst_object_get_parent(GST_OBJECT(element)));
    while (bin && !GST_IS_PIPELINE(bin.get())) {
        GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(bin.get()));
        if (factory != nullptr &&
            std::string_view(GST_OBJECT_NAME(factory)) == std::string_view("uridecodebin")) {
            gchar* raw = nullptr;
            g_object_get(bin.get(), "uri", &raw, nullptr);
            GstPtr<gchar> uri(raw);
            return uri ? std::string(uri.get()) : std::string();
        }
        bin.reset(gst_object_get_parent(bin.get()));
    }
    return {};
}

} // namespace

const char* subtitleCapsForName(std::string_view name) {
    for (const auto& [ending, caps] : kKinds) {
        if (endsWithIgnoringCase(name, ending)) {
            return caps;
        }
    }
    return nullptr;
}

SubtitleKind::SubtitleKind(GstElement* playbin)
    : m_playbin(playbin),
      m_handler(g_signal_connect(playbin, "element-setup", G_CALLBACK(onElementSetup), this)) {}

SubtitleKind::~SubtitleKind() {
    g_signal_handler_disconnect(m_playbin, m_handler);
}

void SubtitleKind::setUri(const std::string& uri) {
    const std::lock_guard lock(m_mutex);
    m_uri = uri;
}

void SubtitleKind::onElementSetup(GstElement* playbin, GstElement* element, gpointer self) {
    (void)playbin;
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr && std::string_view(GST_OBJECT_NAME(factory)) == "typefind") {
        static_cast<SubtitleKind*>(self)->tellTypeFinder(element);
    }
}

// Only the type finder that reads the subtitle file is told; the medium's own is left alone.
void SubtitleKind::tellTypeFinder(GstElement* typeFinder) {
    std::string uri;
    {
        const std::lock_guard lock(m_mutex);
        uri = m_uri;
    }
    const char* kind = subtitleCapsForName(uri);
    if (kind == nullptr || uriReadAround(typeFinder) != uri) {
        return;
    }
    GstPtr<GstCaps> caps(gst_caps_from_string(kind));
    g_object_set(typeFinder, "force-caps", caps.get(), nullptr);
}

} // namespace media
