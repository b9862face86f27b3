#include "platform/media/SinkChoice.h"

#include <QByteArray>

namespace media {
namespace {

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

SinkChoice chooseSinks(const std::string& videoOverride, const std::string& audioOverride) {
    return {videoOverride, audioOverride.empty() ? std::string("autoaudiosink") : audioOverride};
}

SinkChoice currentSinkChoice() {
    return chooseSinks(qgetenv("LUMAREST_VIDEOSINK").toStdString(),
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

GstPtr<GstElement> makeVideoSink(const std::string& description) {
    return makeElement(description);
}

GstPtr<GstElement> makeAudioSink(const std::string& description) {
    GstPtr<GstElement> sink = makeElement(description);
    if (!sink) {
        sink = makeElement("autoaudiosink");
    }
    if (!sink) {
        sink = makeElement("fakeaudiosink");
    }
    return sink;
}

} // namespace media
