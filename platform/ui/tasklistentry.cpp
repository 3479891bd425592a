#include "platform/ui/tasklistentry.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace kivora {

namespace {

template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool hasState(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t states, xcb_atom_t wanted)
{
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, states, XCB_ATOM_ATOM, 0, 1024);
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / static_cast<int>(sizeof(xcb_atom_t));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == wanted)
            return true;
    }
    return false;
}

} // namespace

void keepOffTaskList(QWidget &window)
{
    // Other platforms (offscreen in tests, Wayland) have no such hint.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t states = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (states == XCB_ATOM_NONE || skip == XCB_ATOM_NONE)
        return;
    // On a window not yet mapped the client sets the state itself; the toolkit keeps what it
    // finds there when it adds its own states at mapping.
    if (!hasState(connection, id, states, skip))
        xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, states, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(connection);
}

} // namespace kivora
