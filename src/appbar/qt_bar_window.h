#pragma once
// The Qt side of an application bar: the desktop's metrics (QtBarDesktop)
// and a widget as the bar's window (QtBarWindow), whose events are filtered
// into the bar's messages: the pointer entering or moving over the window,
// a drag of its body or of a sizing border (the bar moves and sizes it
// itself, as docks are not moved by the window manager), activation and
// moves. On xcb the stacking goes through EWMH; without a window manager
// the window restacks itself after each move and above each window mapped
// later. Other platforms (offscreen) keep their own order.
// UI thread only; the widget must outlive the QtBarWindow.

#include "appbar/app_bar_platform.h"
#include "appbar/x11_window.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <memory>
#include <optional>

class QWidget;

namespace velmora {

class QtBarDesktop : public BarDesktop {
public:
    Box screen() const override;  // the primary screen
    QPoint cursorPos() const override;
    bool controlHeld() const override;
    QSize borderSize() const override;  // bar windows have no frame: 0
    QSize scrollBarSize() const override;
    QSize doubleClickSize() const override;
    bool dragFullWindows() const override { return true; }
};

// A shell for platforms without one: reserves nothing and lets every bar
// auto-hide.
class LocalAppBarShell : public AppBarShell {
public:
    explicit LocalAppBarShell(const BarDesktop& desktop) : desktop_(desktop) {}
    void setListener(AppBarShellListener*) override {}
    void registerBar() override {}
    void removeBar() override { held_ = -1; }
    Box queryPos(BarEdge, const Box& proposed) override { return proposed; }
    Box setPos(BarEdge, const Box& rect) override { return rect; }
    bool isAutoHideBar(BarEdge edge) const override { return held_ == static_cast<int>(edge); }
    bool setAutoHideBar(BarEdge edge, bool on) override;
    void activate() override {}
    void windowPosChanged() override {}
    Box workArea() const override { return desktop_.screen(); }
    bool windowManagerRuns() const override { return true; }

private:
    const BarDesktop& desktop_;
    int held_ = -1;
};

class QtBarWindow : public QObject, public BarWindow {
    Q_OBJECT
public:
    // server: the X display when on xcb (the window's stacking goes
    // through it).
    QtBarWindow(QWidget& widget, std::unique_ptr<AppBarShell> shell, std::optional<x11::Server> server);
    ~QtBarWindow() override;

    AppBarShell& shell() override { return *shell_; }
    Box rect() const override;
    void place(const Box& rect) override;
    void setStacking(BarStacking stacking) override;
    void setFrame(bool caption, std::optional<bool> taskbarButton) override;
    bool isActive() const override;
    void showRefusal(const QString& text) override;
    void intercept(BarMessages* handler) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFrame();
    void clipToScreen(const QRect& r);
    void readRootEvents();
    // The sizing borders under a point of the window (side:: bits).
    int sidesAt(QPoint local) const;

    QWidget& widget_;
    std::unique_ptr<AppBarShell> shell_;
    std::optional<x11::Server> server_;
    BarMessages* handler_ = nullptr;
    BarStacking stacking_ = BarStacking::Normal;
    QRect mask_;  // the shape, in the window; null: the whole window
    // The windows mapped on the root, on a connection of our own: selected
    // on Qt's, every move of any window would make Qt read the screens anew.
    xcb_connection_t* rootEvents_ = nullptr;
    bool caption_ = false;      // the frame the window has
    bool wantCaption_ = false;  // the frame asked for (applied once events run)
    bool framePending_ = false;
    bool dragging_ = false;
    int sizing_ = 0;  // the sides being dragged to size the window
    QPoint grab_;     // moving: the pointer's offset from the window's corner; sizing: where it went down
    Box sizeStart_;
};

}  // namespace velmora
