#include "platform/media/GlSinkWindow.h"

#include "platform/media/GstPtr.h"

#ifdef LUMAREST_HAVE_GSTGL
#include <gst/gl/gl.h>
#endif

namespace media {

#ifdef LUMAREST_HAVE_GSTGL
namespace {

struct Resize {
    GstGLWindow* window;
    QSize size;
};

GstPtr<GstGLWindow> glWindowOf(GstElement* sink) {
    if (sink == nullptr ||
        g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "context") == nullptr) {
        return nullptr;
    }
    GstGLContext* raw = nullptr;
    g_object_get(sink, "context", &raw, nullptr);
    const GstPtr<GstGLContext> context(raw);
    if (!context || !GST_IS_GL_CONTEXT(context.get())) {
        return nullptr;
    }
    return GstPtr<GstGLWindow>(gst_gl_context_get_window(context.get()));
}

} // namespace

void settleGlWindowSize(GstElement* sink, QSize size) {
    const GstPtr<GstGLWindow> window = glWindowOf(sink);
    if (!window || size.isEmpty()) {
        return;
    }
    Resize resize{window.get(), size};
    // The window thread runs its messages in order: the size told before is in place when
    // this one runs, and the sink's drawing area follows it at once.
    gst_gl_window_send_message(
        window.get(),
        [](gpointer data) {
            const auto* r = static_cast<const Resize*>(data);
            gst_gl_window_resize(r->window, static_cast<guint>(r->size.width()),
                                 static_cast<guint>(r->size.height()));
        },
        &resize);
}
#else
void settleGlWindowSize(GstElement*, QSize) {}
#endif

} // namespace media
