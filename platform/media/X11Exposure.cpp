#include "platform/media/X11Exposure.h"

#include <QGuiApplication>

#ifdef LUMAREST_HAVE_XCB
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#endif

namespace media {

#ifdef LUMAREST_HAVE_XCB
namespace {

xcb_connection_t* qtConnection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace

void exposeChildWindows(WId window) {
    xcb_connection_t* connection = qtConnection();
    if (connection == nullptr || window == 0) {
        return;
    }
    const auto parent = static_cast<xcb_window_t>(window);
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, parent), nullptr), &std::free);
    if (!tree) {
        return;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    for (int i = 0; i < count; ++i) {
        // A width and height of 0 mean the whole window; the window keeps its contents.
        xcb_clear_area(connection, 1, children[i], 0, 0, 0, 0);
    }
    xcb_flush(connection);
}

void resizeNativeWindow(WId window, QSize size) {
    xcb_connection_t* connection = qtConnection();
    if (connection == nullptr || window == 0 || size.isEmpty()) {
        return;
    }
    const uint32_t values[] = {static_cast<uint32_t>(size.width()),
                               static_cast<uint32_t>(size.height())};
    xcb_configure_window(connection, static_cast<xcb_window_t>(window),
                         XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
    xcb_flush(connection);
}
#else
void exposeChildWindows(WId) {}
void resizeNativeWindow(WId, QSize) {}
#endif

} // namespace media
