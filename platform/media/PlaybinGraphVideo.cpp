// The video facets of the graph: picture size and the window the picture is shown in.
#include "platform/media/GraphFailures.h"
#include "platform/media/PlaybinGraph.h"
#include "platform/media/X11Exposure.h"

#include <gst/video/videooverlay.h>

namespace media {

// Every video-window call fails the same way on a graph that renders no video.
HRESULT PlaybinGraph::videoCall() const {
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    return m_facts.hasVideo() && m_video.exists() ? S_OK : E_NOINTERFACE;
}

HRESULT PlaybinGraph::GetVideoSize(long* width, long* height) {
    if (auto failure = injectedGraphFailure(GraphCall::GetVideoSize)) {
        return *failure;
    }
    if (width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    if (!m_rendered || !m_facts.hasVideo() || m_facts.width <= 0 || m_facts.height <= 0) {
        return m_rendered ? E_NOINTERFACE : E_UNEXPECTED;
    }
    *width = m_facts.width;
    *height = m_facts.height;
    return S_OK;
}

HRESULT PlaybinGraph::get_Visible(long* visible) {
    if (auto failure = injectedGraphFailure(GraphCall::GetVisible)) {
        return *failure;
    }
    if (visible == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *visible = SUCCEEDED(hr) && m_video.isVisible() ? OATRUE : OAFALSE;
    return hr;
}

HRESULT PlaybinGraph::put_Owner(OAHWND owner) {
    if (auto failure = injectedGraphFailure(GraphCall::PutOwner)) {
        return *failure;
    }
    const HRESULT hr = videoCall();
    if (SUCCEEDED(hr)) {
        m_video.setOwner(owner);
    }
    return hr;
}

HRESULT PlaybinGraph::get_Owner(OAHWND* owner) {
    if (owner == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *owner = SUCCEEDED(hr) ? m_video.owner() : nullptr;
    return hr;
}

// The style is kept for the asking: the video widget is always a clipped child.
HRESULT PlaybinGraph::put_WindowStyle(long style) {
    if (auto failure = injectedGraphFailure(GraphCall::PutWindowStyle)) {
        return *failure;
    }
    const HRESULT hr = videoCall();
    if (SUCCEEDED(hr)) {
        m_windowStyle = style;
    }
    return hr;
}

HRESULT PlaybinGraph::get_WindowStyle(long* style) {
    if (style == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *style = SUCCEEDED(hr) ? m_windowStyle : 0;
    return hr;
}

HRESULT PlaybinGraph::placeVideo(const QRect& rect) {
    const HRESULT hr = videoCall();
    if (FAILED(hr)) {
        return hr;
    }
    if (rect.width() < 0 || rect.height() < 0) {
        return E_INVALIDARG;
    }
    m_video.setGeometry(rect);
    tellSinkSize();
    return S_OK;
}

// The sink learns a new size of its window at once, and so draws its first picture at the
// size it will keep, even while the window is still hidden (the GL sink otherwise reads the
// size back from the X server only later, and would draw once at the size before).
void PlaybinGraph::tellSinkSize() {
    GstPtr<GstElement> sink = m_bus->overlay();
    const QRect rect = m_video.geometry();
    if (sink && !rect.isEmpty() && !m_video.isFullScreen()) {
        gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(sink.get()), 0, 0, rect.width(),
                                               rect.height());
    }
}

HRESULT PlaybinGraph::SetWindowPosition(long left, long top, long width, long height) {
    if (auto failure = injectedGraphFailure(GraphCall::SetWindowPosition)) {
        return *failure;
    }
    return placeVideo(QRect(int(left), int(top), int(width), int(height)));
}

HRESULT PlaybinGraph::GetWindowPosition(long* left, long* top, long* width, long* height) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    const QRect rect = SUCCEEDED(hr) ? m_video.geometry() : QRect();
    *left = rect.left();
    *top = rect.top();
    *width = rect.width();
    *height = rect.height();
    return hr;
}

HRESULT PlaybinGraph::put_Width(long width) {
    QRect rect = m_video.geometry();
    rect.setWidth(int(width));
    return placeVideo(rect);
}

HRESULT PlaybinGraph::get_Width(long* width) {
    if (width == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *width = SUCCEEDED(hr) ? m_video.geometry().width() : 0;
    return hr;
}

HRESULT PlaybinGraph::put_Height(long height) {
    QRect rect = m_video.geometry();
    rect.setHeight(int(height));
    return placeVideo(rect);
}

HRESULT PlaybinGraph::get_Height(long* height) {
    if (height == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *height = SUCCEEDED(hr) ? m_video.geometry().height() : 0;
    return hr;
}

HRESULT PlaybinGraph::put_FullScreenMode(long mode) {
    if (auto failure = injectedGraphFailure(GraphCall::PutFullScreenMode)) {
        return *failure;
    }
    const HRESULT hr = videoCall();
    if (SUCCEEDED(hr)) {
        m_video.setFullScreen(mode != OAFALSE);
    }
    return hr;
}

HRESULT PlaybinGraph::get_FullScreenMode(long* mode) {
    if (mode == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = videoCall();
    *mode = SUCCEEDED(hr) && m_video.isFullScreen() ? OATRUE : OAFALSE;
    return hr;
}

namespace {

// The element that draws: our video sink, or the one inside it when it is a bin.
GstPtr<GstElement> drawingElement(GstElement* videoSink) {
    if (videoSink != nullptr && GST_IS_BIN(videoSink)) {
        if (GstElement* inner =
                gst_bin_get_by_interface(GST_BIN(videoSink), GST_TYPE_VIDEO_OVERLAY)) {
            return GstPtr<GstElement>(inner);
        }
    }
    return GstPtr<GstElement>(videoSink != nullptr ? GST_ELEMENT(gst_object_ref(videoSink))
                                                   : nullptr);
}

// The plain X sink draws frames at the size they were made for; the GL and Xv sinks scale
// them to their windows.
bool scalesFrames(GstElement* element) {
    GstElementFactory* factory = element != nullptr ? gst_element_get_factory(element) : nullptr;
    return factory == nullptr ||
           g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "ximagesink") != 0;
}

} // namespace

// The GL sink draws into a window of its own inside ours. It follows our size only while
// it draws, by the size its own X connection sees then, which can be the one before a
// resize; so it is told the size. It then lays out its picture for the new size only once
// its connection reads the resize back, which it does only when more news arrives: until
// then a still or paused picture stayed squashed or drawn at its former size. The expose
// of its window that follows is such news (its drawing, asked for just before, has resized
// the window by then).
// The plain X sink has no window of its own and ignores the rectangle: it reads our window's
// size again when asked to expose, but draws frames at the size they were made for.
void PlaybinGraph::redrawVideo() {
    // Before the first run the window is still being laid out: nothing is drawn yet.
    if (!m_rendered || !m_prerollShown) {
        return;
    }
    GstPtr<GstElement> sink = m_bus->overlay();
    const QWidget* widget = m_video.widget();
    if (!sink || widget == nullptr) {
        return;
    }
    GstVideoOverlay* overlay = GST_VIDEO_OVERLAY(sink.get());
    const QSize size = widget->size();
    if (!size.isEmpty()) {
        gst_video_overlay_set_render_rectangle(overlay, 0, 0, size.width(), size.height());
    }
    gst_video_overlay_expose(overlay);
    exposeChildWindows(widget->winId());
    if (!size.isEmpty() && size != m_framesSize &&
        !scalesFrames(drawingElement(m_videoSink.get()).get())) {
        m_framesSize = size;
        m_refit.start();
    }
}

// A sink that does not scale asks for frames of its window's size when they are agreed on:
// first while the window still waits hidden and small, then never again by itself. So they
// are agreed on again after a resize. A playing video's next frame comes at the new size;
// a still picture has no next frame, and is made again from the file.
void PlaybinGraph::refitFrames() {
    GstPtr<GstElement> sink = drawingElement(m_videoSink.get());
    if (!m_rendered || !sink) {
        return;
    }
    if (GstPtr<GstPad> pad{gst_element_get_static_pad(sink.get(), "sink")}) {
        gst_pad_push_event(pad.get(), gst_event_new_reconfigure());
    }
    if (m_stillImage) {
        gst_element_seek_simple(m_playbin.get(), GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
    }
}

} // namespace media
