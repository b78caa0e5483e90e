#include "appbar/x11_window.h"

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <vector>

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
    if (!d.root)
        return std::nullopt;
    // Every request first, then the replies: one round trip.
    std::vector<QByteArray> names = {"_NET_WM_STRUT", "_NET_WM_STRUT_PARTIAL", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP",
                                     "_NET_CLIENT_LIST", "_NET_SUPPORTING_WM_CHECK", "_NET_WM_WINDOW_TYPE",
                                     "_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE",
                                     "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_BELOW",
                                     "_NET_WM_STATE_STICKY", "_NET_WM_DESKTOP",
                                     "WM_S" + QByteArray::number(d.screenNumber), "_VELMORA_TIMESTAMP"};
    for (int e = 0; e < 4; ++e)
        names.push_back(autoHideSelection(d.screenNumber, e));
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const QByteArray& n : names)
        cookies.push_back(xcb_intern_atom(d.connection, 0, static_cast<uint16_t>(n.size()), n.constData()));
    std::vector<xcb_atom_t> got;
    for (const auto& cookie : cookies) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(d.connection, cookie, nullptr);
        got.push_back(reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
        std::free(reply);
    }
    auto atoms = std::make_shared<Atoms>();
    std::size_t i = 0;
    for (xcb_atom_t* a : {&atoms->strut, &atoms->strutPartial, &atoms->workArea, &atoms->currentDesktop,
                          &atoms->clientList, &atoms->supportingWmCheck, &atoms->windowType, &atoms->typeDock,
                          &atoms->typeNormal, &atoms->state, &atoms->fullScreen, &atoms->above, &atoms->below,
                          &atoms->sticky, &atoms->desktop, &atoms->windowManager, &atoms->timestamp})
        *a = got[i++];
    for (xcb_atom_t& a : atoms->autoHide)
        a = got[i++];
    d.atoms = std::move(atoms);
    return d;
}

QByteArray autoHideSelection(int screenNumber, int edge)
{
    static constexpr const char* kEdgeNames[] = {"LEFT", "TOP", "RIGHT", "BOTTOM"};
    return QByteArray("_APPBAR_AUTOHIDE_S") + QByteArray::number(screenNumber) + '_' + kEdgeNames[edge & 3];
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
    const xcb_atom_t check = d.atoms->supportingWmCheck;
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
    setCardinals(d.connection, window, d.atoms->windowType, XCB_ATOM_ATOM,
                 {dock ? d.atoms->typeDock : d.atoms->typeNormal});
    xcb_flush(d.connection);
}

void sendState(const Server& d, xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second)
{
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = d.atoms->state;
    event.data.data32[0] = add ? 1 : 0;
    event.data.data32[1] = first;
    event.data.data32[2] = second;
    event.data.data32[3] = 1;  // a normal application asks
    xcb_send_event(d.connection, 0, d.root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void setOnAllDesktops(const Server& d, xcb_window_t window, bool mapped)
{
    constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
    if (mapped) {
        sendState(d, window, true, d.atoms->sticky);
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = d.atoms->desktop;
        event.data.data32[0] = kAllDesktops;
        event.data.data32[1] = 1;  // a normal application asks
        xcb_send_event(d.connection, 0, d.root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        setCardinals(d.connection, window, d.atoms->desktop, XCB_ATOM_CARDINAL, {kAllDesktops});
        // Qt adds its own states to these when it maps the window.
        QList<quint32> states = cardinals(d.connection, window, d.atoms->state);
        if (!states.contains(d.atoms->sticky))
            setCardinals(d.connection, window, d.atoms->state, XCB_ATOM_ATOM, states << d.atoms->sticky);
    }
    xcb_flush(d.connection);
}

void setAbove(const Server& d, xcb_window_t window, bool above, bool mapped)
{
    if (mapped) {
        sendState(d, window, above, d.atoms->above);
    } else {
        // Qt adds its own states to these when it maps the window.
        QList<quint32> states = cardinals(d.connection, window, d.atoms->state);
        states.removeAll(d.atoms->above);
        if (above)
            states << d.atoms->above;
        setCardinals(d.connection, window, d.atoms->state, XCB_ATOM_ATOM, states);
    }
    xcb_flush(d.connection);
}

void setStacking(const Server& d, xcb_window_t window, BarStacking stacking, bool managed)
{
    if (managed) {
        const xcb_atom_t above = d.atoms->above, below = d.atoms->below;
        switch (stacking) {
        case BarStacking::Normal: sendState(d, window, false, above, below); break;
        case BarStacking::Topmost:
            sendState(d, window, false, below);
            sendState(d, window, true, above);
            break;
        case BarStacking::Bottom:
            sendState(d, window, false, above);
            sendState(d, window, true, below);
            // A dock leaving the layer above may land on top of the one
            // below (openbox): asked to go under the others there too.
            restack(d, window, stacking);
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
