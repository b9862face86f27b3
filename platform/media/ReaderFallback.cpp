#include "platform/media/ReaderFallback.h"

#include "platform/media/GstPtr.h"
#include "platform/media/UnfitReaders.h"

#include <memory>
#include <set>

namespace media {
namespace {

using AvoidedReaders = std::set<std::string>;

constexpr const char* kAvoidedKey = "lumarest-avoided-readers";
constexpr GstElementFactoryListType kReaders = GST_ELEMENT_FACTORY_TYPE_DEMUXER |
                                               GST_ELEMENT_FACTORY_TYPE_PARSER |
                                               GST_ELEMENT_FACTORY_TYPE_DECODER;
// decodebin's answers to "autoplug-select" (its enum is not in a public header).
constexpr gint kAutoplugTry = 0;
constexpr gint kAutoplugSkip = 2;

AvoidedReaders* avoidedOn(GstElement* playbin) {
    return static_cast<AvoidedReaders*>(g_object_get_data(G_OBJECT(playbin), kAvoidedKey));
}

// What the element was given. A reader that pulls its data gets no caps event: then the
// type found upstream is asked for.
GstPtr<GstCaps> givenCaps(GstElement* element) {
    GstPtr<GstCaps> caps;
    GstIterator* pads = gst_element_iterate_sink_pads(element);
    GValue item = G_VALUE_INIT;
    if (gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
        GstPad* pad = GST_PAD(g_value_get_object(&item));
        caps.reset(gst_pad_get_current_caps(pad));
        if (!caps) {
            caps.reset(gst_pad_peer_query_caps(pad, nullptr));
        }
        g_value_unset(&item);
    }
    gst_iterator_free(pads);
    if (caps && !gst_caps_is_fixed(caps.get())) {
        caps.reset();
    }
    return caps;
}

bool othersRead(GstElementFactory* refusing, GstCaps* caps) {
    GList* readers = gst_element_factory_list_get_elements(kReaders, GST_RANK_MARGINAL);
    GList* fitting = gst_element_factory_list_filter(readers, caps, GST_PAD_SINK, FALSE);
    bool found = false;
    for (GList* it = fitting; it != nullptr && !found; it = it->next) {
        auto* other = GST_ELEMENT_FACTORY(it->data);
        found = other != refusing && !isUnfitReader(other, caps);
    }
    gst_plugin_feature_list_free(fitting);
    gst_plugin_feature_list_free(readers);
    return found;
}

gint onAutoplugSelect(GstElement*, GstPad*, GstCaps* caps, GstElementFactory* factory,
                      gpointer avoided) {
    const auto* readers = static_cast<const AvoidedReaders*>(avoided);
    const bool skip = readers->count(GST_OBJECT_NAME(factory)) != 0 || isUnfitReader(factory, caps);
    return skip ? kAutoplugSkip : kAutoplugTry;
}

void onElementAdded(GstBin*, GstBin*, GstElement* element, gpointer avoided) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), "decodebin") == 0 &&
        g_object_get_data(G_OBJECT(element), kAvoidedKey) == nullptr) {
        g_object_set_data(G_OBJECT(element), kAvoidedKey, avoided);
        g_signal_connect(element, "autoplug-select", G_CALLBACK(onAutoplugSelect), avoided);
    }
}

// The element could not make sense of what it was given (not: its data could not flow).
bool tellsRefusal(GstMessage* error) {
    GError* rawError = nullptr;
    gst_message_parse_error(error, &rawError, nullptr);
    GstPtr<GError> parsed(rawError);
    if (!parsed || parsed->domain != GST_STREAM_ERROR) {
        return false;
    }
    switch (parsed->code) {
    case GST_STREAM_ERROR_TYPE_NOT_FOUND:
    case GST_STREAM_ERROR_WRONG_TYPE:
    case GST_STREAM_ERROR_DEMUX:
    case GST_STREAM_ERROR_FORMAT:
    case GST_STREAM_ERROR_DECODE:
    case GST_STREAM_ERROR_CODEC_NOT_FOUND:
    case GST_STREAM_ERROR_NOT_IMPLEMENTED:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string readerWithAlternative(GstMessage* error) {
    if (GST_MESSAGE_TYPE(error) != GST_MESSAGE_ERROR || !GST_IS_ELEMENT(GST_MESSAGE_SRC(error)) ||
        !tellsRefusal(error)) {
        return {};
    }
    return alternativeTo(GST_ELEMENT(GST_MESSAGE_SRC(error)));
}

std::string alternativeTo(GstElement* element) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr || !gst_element_factory_list_is_type(factory, kReaders)) {
        return {};
    }
    GstPtr<GstCaps> caps = givenCaps(element);
    if (!caps || !othersRead(factory, caps.get())) {
        return {};
    }
    return GST_OBJECT_NAME(factory);
}

void watchAvoidedReaders(GstElement* playbin) {
    // The playbin owns the list from here on and frees it when it goes.
    AvoidedReaders* avoided = std::make_unique<AvoidedReaders>().release();
    g_object_set_data_full(G_OBJECT(playbin), kAvoidedKey, avoided,
                           [](gpointer set) { delete static_cast<AvoidedReaders*>(set); });
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(onElementAdded), avoided);
}

bool avoidReader(GstElement* playbin, const std::string& factory) {
    AvoidedReaders* avoided = avoidedOn(playbin);
    return avoided != nullptr && avoided->insert(factory).second;
}

void clearAvoidedReaders(GstElement* playbin) {
    if (AvoidedReaders* avoided = avoidedOn(playbin)) {
        avoided->clear();
    }
}

} // namespace media
