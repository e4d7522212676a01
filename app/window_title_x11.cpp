#include "app/window_title.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace keeprun {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return found;
}

} // namespace

void set_window_title(QWidget* window, const QString& title) {
    window->setWindowTitle(title);
    if (!title.isEmpty()) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    // Qt writes its fallback name when it makes the window: make it now, then
    // write the empty title over it on Qt's own connection, so ours comes after.
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_connection_t* connection = x11->connection();
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    for (const xcb_atom_t name :
         {static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME), atom(connection, "_NET_WM_NAME")})
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, name, utf8, 8, 0, nullptr);
    xcb_flush(connection);
}

} // namespace keeprun
