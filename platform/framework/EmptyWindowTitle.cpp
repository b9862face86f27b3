#include "platform/framework/EmptyWindowTitle.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef LUMAREST_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>
#endif

#ifdef LUMAREST_HAVE_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

} // namespace

void ShowEmptyWindowTitle(QWidget& window) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    for (const char* name : {"_NET_WM_NAME", "_NET_WM_VISIBLE_NAME"}) {
        if (const xcb_atom_t atom = Atom(connection, name);
            atom != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, utf8, 8, 0, "");
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, "");
    xcb_flush(connection);
}
#else
void ShowEmptyWindowTitle(QWidget&) {}
#endif
