#include "platform/media/StallWatch.h"

namespace media {
namespace {

constexpr GstElementFactoryListType kReaders = GST_ELEMENT_FACTORY_TYPE_DEMUXER |
                                               GST_ELEMENT_FACTORY_TYPE_PARSER |
                                               GST_ELEMENT_FACTORY_TYPE_DECODER;

bool isReader(GstElement* element) {
    GstElementFactory* factory = gst_element_get_factory(element);
    return factory != nullptr && gst_element_factory_list_is_type(factory, kReaders);
}

gboolean taskStopped(GstElement*, GstPad* pad, gpointer stopped) {
    GST_OBJECT_LOCK(pad);
    GstTask* task =
        GST_PAD_TASK(pad) != nullptr ? GST_TASK(gst_object_ref(GST_PAD_TASK(pad))) : nullptr;
    GST_OBJECT_UNLOCK(pad);
    if (task != nullptr) {
        if (gst_task_get_state(task) == GST_TASK_PAUSED) {
            *static_cast<bool*>(stopped) = true;
        }
        gst_object_unref(task);
    }
    return TRUE;
}

// A stream and then its end went down a linked output: the reader is done, not stuck, and
// what follows it prerolls on that end however long a busy machine takes to show the first
// picture. A reader that gives up early ends outputs that never said what they carry.
gboolean sentEndDownstream(GstElement*, GstPad* pad, gpointer sent) {
    if (GST_PAD_IS_SRC(pad) && gst_pad_is_linked(pad)) {
        GstPtr<GstEvent> caps(gst_pad_get_sticky_event(pad, GST_EVENT_CAPS, 0));
        GstPtr<GstEvent> end(gst_pad_get_sticky_event(pad, GST_EVENT_EOS, 0));
        *static_cast<bool*>(sent) = *static_cast<bool*>(sent) || (caps && end);
    }
    return TRUE;
}

} // namespace

GstPtr<GstElement> stoppedReader(GstElement* pipeline, bool* deliveredEnd) {
    GstPtr<GstElement> reader; // stopped with nothing delivered
    GstPtr<GstElement> ended;  // stopped after its stream and its end went downstream
    GstIterator* elements = gst_bin_iterate_recurse(GST_BIN(pipeline));
    GValue item = G_VALUE_INIT;
    bool more = true;
    while (more && !reader) {
        switch (gst_iterator_next(elements, &item)) {
        case GST_ITERATOR_OK: {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            bool stopped = false;
            if (isReader(element)) {
                gst_element_foreach_pad(element, taskStopped, &stopped);
            }
            bool sent = false;
            if (stopped) {
                gst_element_foreach_pad(element, sentEndDownstream, &sent);
                GstPtr<GstElement>& found = sent ? ended : reader;
                if (!found) {
                    found.reset(GST_ELEMENT(gst_object_ref(element)));
                }
            }
            g_value_reset(&item);
            break;
        }
        case GST_ITERATOR_RESYNC:
            gst_iterator_resync(elements);
            break;
        default:
            more = false;
            break;
        }
    }
    g_value_unset(&item);
    gst_iterator_free(elements);
    if (deliveredEnd != nullptr) {
        *deliveredEnd = !reader && ended;
    }
    return reader ? std::move(reader) : std::move(ended);
}

} // namespace media
