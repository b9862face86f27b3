// Owners for GStreamer and GLib references: each releases its object when it goes out of
// scope, so no early return can leak a pipeline, a message or a caps set.
#pragma once

#include <gst/gst.h>
#include <memory>

namespace media {

struct GstRelease {
    void operator()(GstMessage* m) const { gst_message_unref(m); }
    void operator()(GstCaps* c) const { gst_caps_unref(c); }
    void operator()(GstTagList* t) const { gst_tag_list_unref(t); }
    void operator()(GstSample* s) const { gst_sample_unref(s); }
    void operator()(GstBuffer* b) const { gst_buffer_unref(b); }
    void operator()(GstEvent* e) const { gst_event_unref(e); }
    void operator()(GError* e) const { g_error_free(e); }
    void operator()(gchar* s) const { g_free(s); }
    // Everything else held here is a GstObject (elements, bins, pads, buses).
    template <class T> void operator()(T* object) const { gst_object_unref(object); }
};

template <class T> using GstPtr = std::unique_ptr<T, GstRelease>;

} // namespace media
