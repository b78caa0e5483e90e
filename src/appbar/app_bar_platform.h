#pragma once
// What an application bar needs of the platform, in three small parts: the
// desktop it lies on (metrics, pointer), the window it manages, and the
// shell's application-bar service for that window. X11 implements them
// (x11_app_bar_shell.h, qt_bar_window.h); the tests use fakes. All
// rectangles are screen pixels; UI thread only.

#include "appbar/app_bar_geometry.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace velmora {

// The screen and the system metrics the bar's rules read.
class BarDesktop {
public:
    virtual ~BarDesktop() = default;
    virtual Box screen() const = 0;  // the screen bars dock on
    virtual QPoint cursorPos() const = 0;
    virtual bool controlHeld() const = 0;
    virtual QSize borderSize() const = 0;       // a thin frame's width and height; 1 without one
    virtual QSize scrollBarSize() const = 0;    // vertical bar's width, horizontal bar's height
    virtual QSize doubleClickSize() const = 0;  // the double-click area
    virtual bool dragFullWindows() const = 0;   // windows move visibly (slides animate)
};

// Notifications of the shell to a registered bar.
class AppBarShellListener {
public:
    virtual ~AppBarShellListener() = default;
    // Another bar came, went or changed size.
    virtual void shellPositionChanged() = 0;
    // The screen the bar docks on changed its size or place.
    virtual void shellScreenChanged() = 0;
    // An application went to or left full screen.
    virtual void shellFullScreenApp(bool on) = 0;
    // A window manager started, ended or was replaced: the bar's state is
    // to be applied again for it.
    virtual void shellWindowManagerChanged() = 0;
    // Another bar took the auto-hide place this one held at `edge`.
    virtual void shellAutoHideTaken(BarEdge edge) = 0;
};

// The shell's application-bar service for one window.
class AppBarShell {
public:
    virtual ~AppBarShell() = default;
    virtual void setListener(AppBarShellListener* listener) = 0;
    virtual void registerBar() = 0;  // the bar is known to the shell
    virtual void removeBar() = 0;    // ... and no longer: no space reserved, no edge held
    // The proposed rectangle at `edge` with the space of other bars taken off.
    virtual Box queryPos(BarEdge edge, const Box& proposed) = 0;
    // Reserves the rectangle at `edge` (a null box: nothing); returns the
    // rectangle as the shell allows it.
    virtual Box setPos(BarEdge edge, const Box& rect) = 0;
    // Whether this window holds the edge's auto-hide place.
    virtual bool isAutoHideBar(BarEdge edge) const = 0;
    // Takes (on) or gives up the edge's auto-hide place; false when another
    // bar holds it.
    virtual bool setAutoHideBar(BarEdge edge, bool on) = 0;
    // The bar was activated or moved (shells that keep a z-order of bars).
    virtual void activate() = 0;
    virtual void windowPosChanged() = 0;
    // The screen without the space other bars reserve.
    virtual Box workArea() const = 0;
    // Whether a window manager keeps the windows' stacking (otherwise the
    // bar keeps itself above the windows mapped after it).
    virtual bool windowManagerRuns() const = 0;
};

// The stacking of the bar's window among the others.
enum class BarStacking { Normal, Topmost, Bottom };

// Window messages the bar handles; the window adapter passes them on.
class BarMessages {
public:
    virtual ~BarMessages() = default;
    virtual void barMouseOverFrame() = 0;
    virtual void barEnterSizeMove() = 0;
    // The window is dragged to `rect` with the mouse at `mouse`; returns
    // where it goes instead.
    virtual Box barMoving(const Box& rect, QPoint mouse) = 0;
    virtual void barExitSizeMove() = 0;
    // The borders (side:: bits) that size the window in its present state.
    virtual int barSizingSides() const = 0;
    // The window is sized to `rect` by dragging `sides`; returns the size
    // it takes (limited and snapped to the steps).
    virtual Box barSizing(const Box& rect, int sides) = 0;
    virtual void barActivated(bool active) = 0;
    virtual void barWindowPosChanged() = 0;
};

// The window managed as a bar.
class BarWindow {
public:
    virtual ~BarWindow() = default;
    virtual AppBarShell& shell() = 0;
    virtual Box rect() const = 0;
    // Moves and sizes the window without activating it, and repaints it.
    virtual void place(const Box& rect) = 0;
    virtual void setStacking(BarStacking stacking) = 0;
    // A caption and system menu (floating) or none; the taskbar button on,
    // off, or left as it is.
    virtual void setFrame(bool caption, std::optional<bool> taskbarButton) = 0;
    virtual bool isActive() const = 0;
    // The refusal of the auto-hide place: an information box owned by the
    // window with its caption; does not wait.
    virtual void showRefusal(const QString& text) = 0;
    // Passes the window's messages to `handler` (null: its own handling
    // only).
    virtual void intercept(BarMessages* handler) = 0;
};

}  // namespace velmora
