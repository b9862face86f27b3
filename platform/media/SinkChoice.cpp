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

void setIfPresent(GstElement* element, const char* property, gboolean value) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), property) != nullptr) {
        g_object_set(element, property, value, nullptr);
    }
}

} // namespace

void setOnSink(GstElement* sink, const char* property, bool value) {
    if (sink == nullptr) {
        return;
    }
    setIfPresent(sink, property, value ? TRUE : FALSE);
    if (!GST_IS_BIN(sink)) {
        return;
    }
    GstIterator* raw = gst_bin_iterate_recurse(GST_BIN(sink));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(raw, &item) == GST_ITERATOR_OK) {
        setIfPresent(GST_ELEMENT(g_value_get_object(&item)), property, value ? TRUE : FALSE);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(raw);
}

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

bool playbinMakesAudioSink(const std::string& audio) {
    if (audio != "autoaudiosink") {
        return false;
    }
    GstPtr<GstPluginFeature> factory(
        gst_registry_find_feature(gst_registry_get(), "autoaudiosink", GST_TYPE_ELEMENT_FACTORY));
    return static_cast<bool>(factory);
}

GstPtr<GstElement> makeSink(const std::string& description, bool video) {
    GstPtr<GstElement> sink = makeElement(description);
    if (!sink) {
        sink = makeElement(video ? "autovideosink" : "autoaudiosink");
    }
    if (!sink) {
        sink = makeElement(video ? "fakevideosink" : "fakeaudiosink");
    }
    if (video) {
        // X sinks select key and pointer events on the window they draw into unless told
        // not to; X then hands those events to the sink, never to the program.
        setOnSink(sink.get(), "handle-events", false);
    }
    return sink;
}

} // namespace media
