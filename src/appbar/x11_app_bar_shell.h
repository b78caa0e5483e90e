#pragma once
// X11AppBarShell: the application-bar service on an EWMH desktop, for one
// window, over Qt's xcb connection.
//
//   - Reserved space is the window's _NET_WM_STRUT_PARTIAL and _NET_WM_STRUT
//     (the window manager takes it off _NET_WORKAREA); auto-hiding bars
//     reserve nothing.
//   - "One auto-hide bar per edge" is an X selection per screen and edge,
//     owned by the bar's window with the server's time: any program that
//     follows the same rule sees the edge taken, and the place is freed
//     when the window goes. A bar whose place another takes is told
//     (SelectionClear).
//   - The space of other bars is read from their struts; the work area
//     from _NET_WORKAREA. Both only while a window manager runs: what one
//     that has gone left on the root window is stale. Its coming and going
//     (_NET_SUPPORTING_WM_CHECK, the owner of WM_S<n>, the bar being
//     reparented) is followed from events, and a new one gets the bar's
//     struts again.
//   - Notifications: a change of _NET_WORKAREA (position changed), of the
//     primary screen or its geometry (screen changed); full-screen
//     application: any window of _NET_CLIENT_LIST in
//     _NET_WM_STATE_FULLSCREEN whose middle lies on the bar's monitor,
//     active or not. The bar watches the state of every listed window and
//     drops a window's watch once it leaves the list. Notifications are
//     passed on from the event loop, never from inside Qt's event handling.
//
// Coordinates are the program's pixels; X values come from the bar's
// monitor as RandR lists it (monitor_map.h), read afresh for each
// placement, so a new ratio or layout counts from the next one. UI thread only; the window must outlive the
// object.

#include "appbar/app_bar_platform.h"
#include "appbar/monitor_map.h"
#include "appbar/x11_window.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QScreen>

#include <map>
#include <memory>

namespace velmora {

class X11AppBarShell : public QObject, public AppBarShell, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    X11AppBarShell(const x11::Server& server, xcb_window_t window, const BarDesktop& desktop,
                   QObject* parent = nullptr);
    ~X11AppBarShell() override;

    void setListener(AppBarShellListener* listener) override { listener_ = listener; }
    void registerBar() override;
    void removeBar() override;
    Box queryPos(BarEdge edge, const Box& proposed) override;
    Box setPos(BarEdge edge, const Box& rect) override;
    bool isAutoHideBar(BarEdge edge) const override;
    bool setAutoHideBar(BarEdge edge, bool on) override;
    void activate() override {}          // the window manager keeps docks' order
    void windowPosChanged() override {}  // struts follow setPos, not the window
    Box workArea() const override;
    bool windowManagerRuns() const override { return wmPresent_; }

    // The selection that holds an edge's auto-hide place on this screen.
    QByteArray selectionName(BarEdge edge) const;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void followWindowManager(bool managedAnew);
    xcb_timestamp_t serverTime();
    void writeStrut(const QList<quint32>& partial);
    void readRootSize();
    void followClients();
    void readFullScreen(xcb_window_t client);
    void checkFullScreen();
    MonitorMap monitorMap(std::vector<Box>* all) const;
    void workAreaChanged();
    void followScreen(QScreen* screen);
    void screenChanged();

    x11::Server server_;
    xcb_window_t window_;
    const BarDesktop& desktop_;
    std::shared_ptr<const x11::Atoms> atoms_;
    uint8_t xfixesEvent_ = 0;
    xcb_connection_t* clock_ = nullptr;  // for the server's time
    xcb_window_t clockWindow_ = 0;  // XFixes' selection notify, 0 without the extension
    bool wmPresent_ = false;
    AppBarShellListener* listener_ = nullptr;
    bool registered_ = false;
    QList<quint32> strut_;  // what the window carries now
    Box workArea_;
    QPointer<QScreen> screen_;  // the primary screen, whose changes we follow
    struct Watched {
        uint32_t priorMask = 0;  // what was selected before the watch
        bool fullScreen = false;
    };
    std::map<xcb_window_t, Watched> watched_;  // the clients listed
    bool fullScreen_ = false;
};

}  // namespace velmora
