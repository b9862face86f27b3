// The video facets of the graph: picture size and the widget the picture is painted in.
#include "platform/media/GraphFailures.h"
#include "platform/media/PlaybinGraph.h"

namespace media {

// Every video-window call fails the same way on a graph that renders no video.
HRESULT PlaybinGraph::videoCall() const {
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    return m_facts.hasVideo() && m_video.exists() ? S_OK : E_NOINTERFACE;
}

HRESULT PlaybinGraph::put_SubtitlesShown(bool shown) {
    constexpr guint kTextFlag = 1u << 2; // playbin's GST_PLAY_FLAG_TEXT
    guint flags = 0;
    g_object_get(m_playbin.get(), "flags", &flags, nullptr);
    flags = shown ? (flags | kTextFlag) : (flags & ~kTextFlag);
    g_object_set(m_playbin.get(), "flags", flags, nullptr);
    return S_OK;
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
    return S_OK;
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

} // namespace media
