#pragma once
// Small EWMH helpers over Qt's own xcb connection, so that our requests
// reach the X server in order with Qt's (a window type set here before
// show() is in place when Qt maps the window). Every call is skipped when
// the program does not run on xcb. UI thread only.

#include "appbar/app_bar_platform.h"

#include <xcb/xcb.h>

#include <QByteArray>
#include <QList>
#include <QRect>

#include <memory>
#include <optional>

namespace velmora::x11 {

// The atoms the bar uses, interned once (one round trip for all).
struct Atoms {
    xcb_atom_t strut, strutPartial, workArea, currentDesktop, clientList, supportingWmCheck, windowType, typeDock,
        typeNormal, state, fullScreen, above, below, sticky, desktop, windowManager /* WM_S<n> */, timestamp;
    xcb_atom_t autoHide[4];  // the edges' auto-hide places, left, top, right, bottom
};

// Qt's connection and the default root window; nothing off xcb.
struct Server {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = 0;
    int screenNumber = 0;
    int rootWidth = 0, rootHeight = 0;
    std::shared_ptr<const Atoms> atoms;
};
std::optional<Server> qtServer();

// The selection that holds an edge's auto-hide place on a screen.
QByteArray autoHideSelection(int screenNumber, int edge);

// 32-bit property values (CARDINAL, ATOM, WINDOW); empty when missing.
QList<quint32> cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property);
void setCardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  const QList<quint32>& values);

// A window manager that follows EWMH runs: _NET_SUPPORTING_WM_CHECK names
// a live window that names itself (a stale value from one that has gone
// does not count). Two round trips: callers keep the answer.
bool windowManagerPresent(const Server& d);

// Asks the window manager to add (or remove) states of a mapped window.
void sendState(const Server& d, xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second = 0);

// _NET_WM_WINDOW_TYPE = _NET_WM_WINDOW_TYPE_DOCK (or _NORMAL): set before
// the window is mapped, window managers read it then.
void setDockType(const Server& d, xcb_window_t window, bool dock);

// On every virtual desktop (_NET_WM_DESKTOP 0xFFFFFFFF and
// _NET_WM_STATE_STICKY): properties before the window is mapped, requests
// to the window manager after.
void setOnAllDesktops(const Server& d, xcb_window_t window, bool mapped);

// Kept above the other windows or not (_NET_WM_STATE_ABOVE): a property
// before the window is mapped, a request to the window manager after.
void setAbove(const Server& d, xcb_window_t window, bool above, bool mapped);

// Above or below the other windows (_NET_WM_STATE_ABOVE / _BELOW through
// the window manager `managed`, the stacking order itself without one).
void setStacking(const Server& d, xcb_window_t window, BarStacking stacking, bool managed);

// The stacking without a window manager, redone after each move.
void restack(const Server& d, xcb_window_t window, BarStacking stacking);

// Ensures events of `mask` arrive for `window` on Qt's connection, keeping
// what Qt selected there; returns the mask selected before (nothing when
// the window is gone).
std::optional<uint32_t> selectEvents(const Server& d, xcb_window_t window, uint32_t mask);
// Puts back a mask selectEvents() found; a window gone meanwhile is no
// error.
void restoreEvents(const Server& d, xcb_window_t window, uint32_t mask);

// The window's rectangle on the root window; nothing when it is gone.
std::optional<QRect> rootGeometry(const Server& d, xcb_window_t window);

}  // namespace velmora::x11
