#include "appbar/x11_window.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

namespace velmora::x11 {

std::optional<Server> qtServer()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return std::nullopt;
    Server d;
    d.connection = x11->connection();
    // Qt opens the default screen of DISPLAY.
    const QByteArray name = qgetenv("DISPLAY");
    const int dot = name.lastIndexOf('.');
    const int colon = name.lastIndexOf(':');
    const int wanted = dot > colon ? name.mid(dot + 1).toInt() : 0;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d.connection));
    for (int i = 0; it.rem; xcb_screen_next(&it), ++i) {
        if (i == wanted || d.root == 0) {
            d.root = it.data->root;
            d.screenNumber = i;
            d.rootWidth = it.data->width_in_pixels;
            d.rootHeight = it.data->height_in_pixels;
        }
        if (i == wanted)
            break;
    }
    return d.root ? std::optional<Server>(d) : std::nullopt;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t a = reply->atom;
    std::free(reply);
    return a;
}

QList<quint32> cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property)
{
    QList<quint32> values;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    if (!reply)
        return values;
    if (reply->format == 32) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
        const int n = xcb_get_property_value_length(reply) / 4;
        values.reserve(n);
        for (int i = 0; i < n; ++i)
            values.push_back(data[i]);
    }
    std::free(reply);
    return values;
}

void setCardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  const QList<quint32>& values)
{
    if (values.isEmpty())
        xcb_delete_property(c, window, property);
    else
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                            static_cast<uint32_t>(values.size()), values.constData());
}

bool windowManagerPresent(const Server& d)
{
    const xcb_atom_t check = atom(d.connection, "_NET_SUPPORTING_WM_CHECK");
    const QList<quint32> root = cardinals(d.connection, d.root, check);
    if (root.isEmpty() || root.front() == 0)
        return false;
    // A stale value from a window manager that has gone names a window
    // that is gone too (or no longer points at itself).
    const QList<quint32> self = cardinals(d.connection, root.front(), check);
    return !self.isEmpty() && self.front() == root.front();
}

void setDockType(const Server& d, xcb_window_t window, bool dock)
{
    const xcb_atom_t type = atom(d.connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t value = atom(d.connection, dock ? "_NET_WM_WINDOW_TYPE_DOCK" : "_NET_WM_WINDOW_TYPE_NORMAL");
    setCardinals(d.connection, window, type, XCB_ATOM_ATOM, {value});
    xcb_flush(d.connection);
}

namespace {

void sendState(const Server& d, xcb_window_t window, uint32_t action, xcb_atom_t first, xcb_atom_t second)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(d.connection, "_NET_WM_STATE");
    event.data.data32[0] = action;  // 0 remove, 1 add
    event.data.data32[1] = first;
    event.data.data32[2] = second;
    event.data.data32[3] = 1;  // a normal application asks
    xcb_send_event(d.connection, 0, d.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

}  // namespace

void setStacking(const Server& d, xcb_window_t window, BarStacking stacking)
{
    if (windowManagerPresent(d)) {
        const xcb_atom_t above = atom(d.connection, "_NET_WM_STATE_ABOVE");
        const xcb_atom_t below = atom(d.connection, "_NET_WM_STATE_BELOW");
        switch (stacking) {
        case BarStacking::Normal: sendState(d, window, 0, above, below); break;
        case BarStacking::Topmost:
            sendState(d, window, 0, below, 0);
            sendState(d, window, 1, above, 0);
            break;
        case BarStacking::Bottom:
            sendState(d, window, 0, above, 0);
            sendState(d, window, 1, below, 0);
            break;
        }
    } else {
        restack(d, window, stacking);
    }
    xcb_flush(d.connection);
}

void restack(const Server& d, xcb_window_t window, BarStacking stacking)
{
    if (stacking == BarStacking::Normal)
        return;
    const uint32_t mode = stacking == BarStacking::Topmost ? XCB_STACK_MODE_ABOVE : XCB_STACK_MODE_BELOW;
    xcb_configure_window(d.connection, window, XCB_CONFIG_WINDOW_STACK_MODE, &mode);
}

std::optional<uint32_t> selectEvents(const Server& d, xcb_window_t window, uint32_t mask)
{
    xcb_get_window_attributes_reply_t* reply =
        xcb_get_window_attributes_reply(d.connection, xcb_get_window_attributes(d.connection, window), nullptr);
    if (!reply)
        return std::nullopt;
    const uint32_t current = reply->your_event_mask;
    std::free(reply);
    if ((current & mask) != mask) {
        const uint32_t value = current | mask;
        xcb_change_window_attributes(d.connection, window, XCB_CW_EVENT_MASK, &value);
    }
    return current;
}

void restoreEvents(const Server& d, xcb_window_t window, uint32_t mask)
{
    // Checked, and the answer dropped: a BadWindow stays out of Qt's queue.
    const xcb_void_cookie_t cookie = xcb_change_window_attributes_checked(d.connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(d.connection, cookie.sequence);
}

std::optional<QRect> rootGeometry(const Server& d, xcb_window_t window)
{
    xcb_connection_t* c = d.connection;
    const auto geometry = xcb_get_geometry(c, window);
    const auto translated = xcb_translate_coordinates(c, window, d.root, 0, 0);
    auto* g = xcb_get_geometry_reply(c, geometry, nullptr);
    auto* t = xcb_translate_coordinates_reply(c, translated, nullptr);
    std::optional<QRect> r;
    if (g && t)
        r = QRect(t->dst_x, t->dst_y, g->width, g->height);
    std::free(g);
    std::free(t);
    return r;
}

}  // namespace velmora::x11
