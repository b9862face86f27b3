#include "platform/media/SinkChoice.h"

#include <QGuiApplication>

namespace media {
namespace {

// On X11 the GL sink scales the picture to its window (full screen included), which the
// plain X sink cannot; the plain X sink stands in when GL does not work.
std::string defaultVideoSink(const std::string& qpaPlatform) {
    if (qpaPlatform == "xcb") {
        return "glimagesink";
    }
    if (qpaPlatform == "offscreen" || qpaPlatform == "minimal") {
        return "fakevideosink";
    }
    return "autovideosink";
}

GstPtr<GstElement> makeElement(const std::string& description) {
    if (description.find_first_of("! ") != std::string::npos) {
        GError* rawError = nullptr;
        GstElement* rawBin = gst_parse_bin_from_description(description.c_str(), TRUE, &rawError);
        GstPtr<GError> error(rawError);
        GstPtr<GstElement> bin(rawBin != nullptr ? GST_ELEMENT(gst_object_ref_sink(rawBin))
                                                 : nullptr);
        return error ? nullptr : std::move(bin);
    }
    GstElement* element = gst_element_factory_make(description.c_str(), nullptr);
    return element != nullptr ? GstPtr<GstElement>(GST_ELEMENT(gst_object_ref_sink(element)))
                              : nullptr;
}

} // namespace

SinkChoice chooseSinks(const std::string& qpaPlatform, const std::string& videoOverride,
                       const std::string& audioOverride) {
    SinkChoice choice{videoOverride.empty() ? defaultVideoSink(qpaPlatform) : videoOverride,
                      audioOverride.empty() ? std::string("autoaudiosink") : audioOverride,
                      {}};
    if (videoOverride.empty() && choice.video == "glimagesink") {
        choice.videoFallback = "ximagesink";
    }
    return choice;
}

SinkChoice currentSinkChoice() {
    const std::string platform = QGuiApplication::platformName().toStdString();
    return chooseSinks(platform, qgetenv("LUMAREST_VIDEOSINK").toStdString(),
                       qgetenv("LUMAREST_AUDIOSINK").toStdString());
}

GstPtr<GstElement> makeSink(const std::string& description, bool video) {
    if (auto sink = makeElement(description)) {
        return sink;
    }
    if (auto sink = makeElement(video ? "autovideosink" : "autoaudiosink")) {
        return sink;
    }
    return makeElement(video ? "fakevideosink" : "fakeaudiosink");
}

} // namespace media
