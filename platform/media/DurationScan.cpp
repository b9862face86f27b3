#include "platform/media/DurationScan.h"

#include "platform/media/GstPtr.h"

namespace media {
namespace {

// Every stream parsebin finds ends in a sink of its own, so none stalls the others.
void linkToNewSink(GstElement* parser, GstPad* pad, gpointer pipeline) {
    (void)parser;
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink == nullptr) {
        return;
    }
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add(GST_BIN(pipeline), sink);
    GstPtr<GstPad> sinkPad(gst_element_get_static_pad(sink, "sink"));
    gst_pad_link(pad, sinkPad.get());
    gst_element_sync_state_with_parent(sink);
}

GstPtr<GstElement> makeScanPipeline(const char* uri) {
    GstPtr<GstElement> pipeline(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
    GstElement* source = gst_element_make_from_uri(GST_URI_SRC, uri, nullptr, nullptr);
    GstElement* parser = gst_element_factory_make("parsebin", nullptr);
    if (source == nullptr || parser == nullptr) {
        for (GstElement* element : {source, parser}) {
            if (element != nullptr) {
                gst_object_unref(gst_object_ref_sink(element));
            }
        }
        return nullptr;
    }
    gst_bin_add_many(GST_BIN(pipeline.get()), source, parser, nullptr);
    gst_element_link(source, parser);
    g_signal_connect(parser, "pad-added", G_CALLBACK(linkToNewSink), pipeline.get());
    return pipeline;
}

} // namespace

std::optional<gint64> scanDuration(const char* uri, GstClockTime timeout) {
    GstPtr<GstElement> pipeline = makeScanPipeline(uri);
    if (!pipeline ||
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        if (pipeline) {
            gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        }
        return std::nullopt;
    }
    GstPtr<GstBus> bus(gst_element_get_bus(pipeline.get()));
    GstPtr<GstMessage> end(gst_bus_timed_pop_filtered(
        bus.get(), timeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    std::optional<gint64> length;
    if (end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS) {
        gint64 value = -1;
        // At the end the parser knows the total; the last position is the fallback.
        if ((gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &value) && value > 0) ||
            (gst_element_query_position(pipeline.get(), GST_FORMAT_TIME, &value) && value > 0)) {
            length = value;
        }
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return length;
}

} // namespace media
