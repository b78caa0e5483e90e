#include "appbar/x11_app_bar_shell.h"

#include "appbar/app_bar_log.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>

#include <xcb/randr.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmora {

namespace {

// The edge's place in a strut: left, right, top, bottom (not the shell's
// order of edges); its span follows at 4 + 2 x that place.
int strutIndex(BarEdge edge)
{
    switch (edge) {
    case BarEdge::Left: return 0;
    case BarEdge::Right: return 1;
    case BarEdge::Top: return 2;
    case BarEdge::Bottom: return 3;
    default: break;
    }
    return 0;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection)
{
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    if (!reply)
        return XCB_WINDOW_NONE;
    const xcb_window_t owner = reply->owner;
    std::free(reply);
    return owner;
}

}  // namespace

X11AppBarShell::X11AppBarShell(const x11::Server& server, xcb_window_t window, const BarDesktop& desktop,
                               QObject* parent)
    : QObject(parent),
      server_(server),
      window_(window),
      desktop_(desktop),
      atoms_(server.atoms)
{
    // Owners of the window manager's selection come and go (XFixes).
    xcb_connection_t* c = server_.connection;
    if (const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xfixes_id); ext && ext->present) {
        std::free(xcb_xfixes_query_version_reply(c, xcb_xfixes_query_version(c, 5, 0), nullptr));
        xfixesEvent_ = ext->first_event + XCB_XFIXES_SELECTION_NOTIFY;
    }
}

X11AppBarShell::~X11AppBarShell()
{
    if (registered_)
        removeBar();
    if (clock_)
        xcb_disconnect(clock_);
}

QByteArray X11AppBarShell::selectionName(BarEdge edge) const
{
    return x11::autoHideSelection(server_.screenNumber, static_cast<int>(edge));
}

void X11AppBarShell::registerBar()
{
    if (registered_)
        return;
    registered_ = true;
    x11::selectEvents(server_, server_.root, XCB_EVENT_MASK_PROPERTY_CHANGE);
    if (xfixesEvent_)
        xcb_xfixes_select_selection_input(server_.connection, server_.root, atoms_->windowManager,
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    QCoreApplication::instance()->installNativeEventFilter(this);
    wmPresent_ = x11::windowManagerPresent(server_);
    followScreen(QGuiApplication::primaryScreen());
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen* screen) {
        followScreen(screen);
        screenChanged();
    }, Qt::QueuedConnection);
    // A monitor added beside the bar's may make its edge an inner one.
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &X11AppBarShell::screenChanged, Qt::QueuedConnection);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &X11AppBarShell::screenChanged, Qt::QueuedConnection);
    workArea_ = workArea();
    fullScreen_ = false;
    followClients();
}

void X11AppBarShell::removeBar()
{
    if (!registered_)
        return;
    registered_ = false;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    disconnect(qGuiApp, nullptr, this, nullptr);
    followScreen(nullptr);
    if (xfixesEvent_)
        xcb_xfixes_select_selection_input(server_.connection, server_.root, atoms_->windowManager, 0);
    for (const auto& [client, watched] : watched_)
        x11::restoreEvents(server_, client, watched.priorMask);
    watched_.clear();
    writeStrut({});
    for (int e = 0; e < 4; ++e)
        setAutoHideBar(static_cast<BarEdge>(e), false);
    xcb_flush(server_.connection);
}

// The space other bars reserve at `edge`, within the proposed rectangle's
// span along that edge (their struts; nothing without a window manager).
Box X11AppBarShell::queryPos(BarEdge edge, const Box& proposed)
{
    if (!isDocked(edge))
        return proposed;
    Box r = proposed;
    readRootSize();
    if (!wmPresent_)
        return r;  // a client list left behind by a window manager that has gone
    const MonitorMap map = monitorMap(nullptr);
    const Box m = map.native, span = map.toNative(proposed);
    const int e = strutIndex(edge);
    const bool horizontal = edge == BarEdge::Top || edge == BarEdge::Bottom;
    const QList<quint32> clients = x11::cardinals(server_.connection, server_.root, atoms_->clientList);
    for (quint32 client : clients) {
        if (client == window_)
            continue;
        QList<quint32> s = x11::cardinals(server_.connection, client, atoms_->strutPartial);
        if (s.size() < 12) {
            const QList<quint32> plain = x11::cardinals(server_.connection, client, atoms_->strut);
            if (plain.size() < 4)
                continue;
            const quint32 full = std::max(server_.rootWidth, server_.rootHeight);
            s = plain + QList<quint32>{0, full, 0, full, 0, full, 0, full};
        }
        const qint64 thickness = s[e];
        const qint64 start = s[4 + 2 * e], end = qint64(s[5 + 2 * e]) + 1;
        if (thickness == 0 || end <= (horizontal ? span.left : span.top) || start >= (horizontal ? span.right : span.bottom))
            continue;
        // The line the other bar reserves up to, counted from the root's
        // edge; it counts where it lies on this monitor.
        switch (edge) {
        case BarEdge::Left:
            if (thickness > m.left)
                r.left = std::max(r.left, map.toLogicalX(int(std::min<qint64>(thickness, m.right))));
            break;
        case BarEdge::Top:
            if (thickness > m.top)
                r.top = std::max(r.top, map.toLogicalY(int(std::min<qint64>(thickness, m.bottom))));
            break;
        case BarEdge::Right:
            if (server_.rootWidth - thickness < m.right)
                r.right = std::min(r.right, map.toLogicalX(int(std::max<qint64>(server_.rootWidth - thickness, m.left))));
            break;
        case BarEdge::Bottom:
            if (server_.rootHeight - thickness < m.bottom)
                r.bottom = std::min(r.bottom, map.toLogicalY(int(std::max<qint64>(server_.rootHeight - thickness, m.top))));
            break;
        default: break;
        }
    }
    return r;
}

// The bar's monitor (the primary screen) as RandR lists it, found by the
// native top-left Qt keeps; `all` gets every monitor.
MonitorMap X11AppBarShell::monitorMap(std::vector<Box>* all) const
{
    MonitorMap map;
    map.logical = desktop_.screen();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    map.native = {map.logical.left, map.logical.top, map.logical.left + int(std::lround(map.logical.width() * ratio)),
                  map.logical.top + int(std::lround(map.logical.height() * ratio))};
    xcb_connection_t* c = server_.connection;
    auto* reply = xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, server_.root, 1), nullptr);
    if (!reply)
        return map;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem; xcb_randr_monitor_info_next(&it)) {
        const Box b{it.data->x, it.data->y, it.data->x + it.data->width, it.data->y + it.data->height};
        if (all)
            all->push_back(b);
        if (b.left == map.logical.left && b.top == map.logical.top)
            map.native = b;
    }
    std::free(reply);
    return map;
}

void X11AppBarShell::readRootSize()
{
    // The root grows and shrinks with the screens (RandR).
    if (auto* g = xcb_get_geometry_reply(server_.connection, xcb_get_geometry(server_.connection, server_.root), nullptr)) {
        server_.rootWidth = g->width;
        server_.rootHeight = g->height;
        std::free(g);
    }
}

// Struts count from the root window's edges; on an inner edge of its
// monitor the bar reserves nothing rather than a neighbour's span.
Box X11AppBarShell::setPos(BarEdge edge, const Box& rect)
{
    if (!isDocked(edge) || rect.isNull()) {
        writeStrut({});
        return rect;
    }
    readRootSize();
    std::vector<Box> monitors;
    const MonitorMap map = monitorMap(&monitors);
    writeStrut(strutFor(edge, map.toNative(rect), map.native, monitors, QSize(server_.rootWidth, server_.rootHeight)));
    return rect;
}

void X11AppBarShell::writeStrut(const QList<quint32>& partial)
{
    if (partial == strut_)
        return;  // unchanged: no new work area, no round of notifications
    strut_ = partial;
    xcb_connection_t* c = server_.connection;
    if (partial.isEmpty()) {
        xcb_delete_property(c, window_, atoms_->strutPartial);
        xcb_delete_property(c, window_, atoms_->strut);
    } else {
        x11::setCardinals(c, window_, atoms_->strutPartial, XCB_ATOM_CARDINAL, partial);
        x11::setCardinals(c, window_, atoms_->strut, XCB_ATOM_CARDINAL, partial.mid(0, 4));
    }
    xcb_flush(c);
}

bool X11AppBarShell::isAutoHideBar(BarEdge edge) const
{
    if (!isDocked(edge))
        return false;
    return selectionOwner(server_.connection, atoms_->autoHide[static_cast<int>(edge)]) == window_;
}

// Owned and given up with the server's time, as ICCCM asks: a request that
// comes late loses against a newer owner instead of taking over.
bool X11AppBarShell::setAutoHideBar(BarEdge edge, bool on)
{
    if (!isDocked(edge))
        return false;
    xcb_connection_t* c = server_.connection;
    const xcb_atom_t selection = atoms_->autoHide[static_cast<int>(edge)];
    const xcb_window_t owner = selectionOwner(c, selection);
    if (!on) {
        if (owner == window_)
            xcb_set_selection_owner(c, XCB_WINDOW_NONE, selection, serverTime());
        return true;
    }
    if (owner == window_)
        return true;  // kept
    if (owner != XCB_WINDOW_NONE)
        return false;
    xcb_set_selection_owner(c, window_, selection, serverTime());
    return selectionOwner(c, selection) == window_;
}

// The server's present time: a zero-length append to a window of a
// connection of our own, and the time of its PropertyNotify. (Qt's
// connection's events are Qt's to read.)
xcb_timestamp_t X11AppBarShell::serverTime()
{
    if (!clock_) {
        clock_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(clock_))
            return XCB_CURRENT_TIME;
        clockWindow_ = xcb_generate_id(clock_);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(clock_, 0, clockWindow_, server_.root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    }
    if (xcb_connection_has_error(clock_))
        return XCB_CURRENT_TIME;
    xcb_change_property(clock_, XCB_PROP_MODE_APPEND, clockWindow_, atoms_->timestamp, XCB_ATOM_INTEGER, 32, 0,
                        nullptr);
    xcb_flush(clock_);
    while (xcb_generic_event_t* event = xcb_wait_for_event(clock_)) {
        const bool property = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
        const xcb_timestamp_t time = property ? reinterpret_cast<xcb_property_notify_event_t*>(event)->time : 0;
        std::free(event);
        if (property)
            return time;
    }
    return XCB_CURRENT_TIME;
}

Box X11AppBarShell::workArea() const
{
    const Box screen = desktop_.screen();
    if (!wmPresent_)
        return screen;  // a work area left behind by a window manager that has gone
    const QList<quint32> areas = x11::cardinals(server_.connection, server_.root, atoms_->workArea);
    const QList<quint32> current = x11::cardinals(server_.connection, server_.root, atoms_->currentDesktop);
    const qsizetype desktop = current.isEmpty() ? 0 : current.front();
    if (areas.size() < 4 * (desktop + 1))
        return screen;
    const qsizetype i = 4 * desktop;
    const MonitorMap map = monitorMap(nullptr);
    const Box& m = map.native;
    const qint64 left = std::max<qint64>(areas[i], m.left), top = std::max<qint64>(areas[i + 1], m.top);
    const qint64 right = std::min<qint64>(qint64(areas[i]) + areas[i + 2], m.right);
    const qint64 bottom = std::min<qint64>(qint64(areas[i + 1]) + areas[i + 3], m.bottom);
    if (right <= left || bottom <= top)
        return screen;
    return {map.toLogicalX(int(left)), map.toLogicalY(int(top)), map.toLogicalX(int(right)), map.toLogicalY(int(bottom))};
}

bool X11AppBarShell::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (xfixesEvent_ && type == xfixesEvent_) {
        const auto* owner = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        if (owner->selection == atoms_->windowManager)
            QMetaObject::invokeMethod(this, [this] { followWindowManager(false); }, Qt::QueuedConnection);
        return false;
    }
    if (type == XCB_SELECTION_CLEAR) {
        const auto* clear = reinterpret_cast<const xcb_selection_clear_event_t*>(event);
        for (int e = 0; e < 4; ++e) {
            if (clear->owner == window_ && clear->selection == atoms_->autoHide[e]) {
                QMetaObject::invokeMethod(this, [this, e] {
                    if (listener_ && registered_)
                        listener_->shellAutoHideTaken(static_cast<BarEdge>(e));
                }, Qt::QueuedConnection);
            }
        }
        return false;
    }
    if (type == XCB_REPARENT_NOTIFY) {
        // A window manager took the bar in, or let it go.
        if (reinterpret_cast<const xcb_reparent_notify_event_t*>(event)->window == window_)
            QMetaObject::invokeMethod(this, [this] { followWindowManager(true); }, Qt::QueuedConnection);
        return false;
    }
    if (type != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (property->window == server_.root && property->atom == atoms_->workArea) {
        QMetaObject::invokeMethod(this, &X11AppBarShell::workAreaChanged, Qt::QueuedConnection);
    } else if (property->window == server_.root && property->atom == atoms_->supportingWmCheck) {
        QMetaObject::invokeMethod(this, [this] { followWindowManager(false); }, Qt::QueuedConnection);
    } else if (property->window == server_.root && property->atom == atoms_->clientList) {
        QMetaObject::invokeMethod(this, &X11AppBarShell::followClients, Qt::QueuedConnection);
    } else if (property->atom == atoms_->state && watched_.count(property->window)) {
        const xcb_window_t client = property->window;
        QMetaObject::invokeMethod(this, [this, client] {
            readFullScreen(client);
            checkFullScreen();
        }, Qt::QueuedConnection);
    }
    return false;
}

// A window manager came, went or was replaced (or took the bar in): what it
// publishes is trusted only while it runs, and a new one gets the bar's
// struts and its place on every desktop again (its stacking follows from
// the listener).
void X11AppBarShell::followWindowManager(bool managedAnew)
{
    if (!registered_)
        return;
    const bool present = x11::windowManagerPresent(server_);
    if (present == wmPresent_ && !managedAnew)
        return;
    wmPresent_ = present;
    qCDebug(lcAppBar) << "window manager:" << present;
    const QList<quint32> strut = strut_;
    strut_.clear();
    writeStrut(strut);
    if (present)
        x11::setOnAllDesktops(server_, window_, true);
    workArea_ = workArea();
    followClients();
    if (listener_)
        listener_->shellWindowManagerChanged();
}

// Only a real change counts: our own strut, rewritten unchanged, must not
// start a round of updates.
void X11AppBarShell::workAreaChanged()
{
    const Box area = workArea();
    if (area == workArea_)
        return;
    workArea_ = area;
    if (listener_ && registered_)
        listener_->shellPositionChanged();
}

void X11AppBarShell::followScreen(QScreen* screen)
{
    if (screen_)
        disconnect(screen_, nullptr, this, nullptr);
    screen_ = screen;
    if (screen_) {
        connect(screen_, &QScreen::geometryChanged, this, &X11AppBarShell::screenChanged, Qt::QueuedConnection);
        // The ratio follows the screen's dots per inch.
        connect(screen_, &QScreen::logicalDotsPerInchChanged, this, &X11AppBarShell::screenChanged,
                Qt::QueuedConnection);
    }
}

void X11AppBarShell::screenChanged()
{
    workArea_ = workArea();
    if (listener_ && registered_)
        listener_->shellScreenChanged();
}

// Watches the state of every listed client and lets go of those that left
// the list (their event mask as it was; a window gone needs nothing).
void X11AppBarShell::followClients()
{
    if (!registered_)
        return;
    const QList<quint32> listed =
        wmPresent_ ? x11::cardinals(server_.connection, server_.root, atoms_->clientList) : QList<quint32>{};
    for (auto it = watched_.begin(); it != watched_.end();) {
        if (listed.contains(it->first)) {
            ++it;
        } else {
            x11::restoreEvents(server_, it->first, it->second.priorMask);
            it = watched_.erase(it);
        }
    }
    for (quint32 client : listed) {
        if (client == window_ || watched_.count(client))
            continue;
        if (const auto prior = x11::selectEvents(server_, client, XCB_EVENT_MASK_PROPERTY_CHANGE)) {
            watched_[client].priorMask = *prior;
            readFullScreen(client);
        }
    }
    checkFullScreen();
}

void X11AppBarShell::readFullScreen(xcb_window_t client)
{
    const auto it = watched_.find(client);
    if (it != watched_.end())
        it->second.fullScreen = x11::cardinals(server_.connection, client, atoms_->state).contains(atoms_->fullScreen);
}

// A full-screen window counts on the monitor that holds its middle.
void X11AppBarShell::checkFullScreen()
{
    const Box monitor = monitorMap(nullptr).native;
    bool on = false;
    for (const auto& [client, watched] : watched_) {
        if (!watched.fullScreen)
            continue;
        if (const auto r = x11::rootGeometry(server_, client)) {
            const QPoint middle = r->center();
            if (middle.x() >= monitor.left && middle.x() < monitor.right && middle.y() >= monitor.top &&
                middle.y() < monitor.bottom) {
                on = true;
                break;
            }
        }
    }
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    qCDebug(lcAppBar) << "full-screen application:" << on;
    if (listener_ && registered_)
        listener_->shellFullScreenApp(on);
}

}  // namespace velmora
