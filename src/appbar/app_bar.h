#pragma once
// TAppBar: makes a top-level window an application desktop toolbar. Docked
// at a screen edge it has its space reserved by the shell; with AutoHide it
// lies hidden at its edge with a thin strip showing and slides out under
// the pointer; or it floats like a normal window. Dragged, it follows the
// mouse from edge to edge among the allowed ones.
//
// The bar knows nothing of the window system: it works on a BarWindow (the
// window and its shell service) and a BarDesktop (metrics, pointer); see
// app_bar_platform.h. Slides are animated by a timer and never block; a new
// placement while one slides starts from where the window is. UI thread
// only. Lifetime: the owner keeps one instance; Extends() attaches it to a
// window, Detach() lets the window go (the window must outlive the
// attachment); reset() makes a detached bar as new before the next
// Extends().

#include "appbar/app_bar_geometry.h"
#include "appbar/app_bar_platform.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace velmora {

// The bar's settings; writing one counts from the next state change.
struct AppBarFields {
    int allowedEdges = edge_bits::All;
    bool autoHide = false;
    bool alwaysOnTop = true;
    bool slideEffect = true;
    int sizeIncX = 1, sizeIncY = 1;  // resizing steps; 0 forbids resizing that way
    int dockWidth = 32;              // thickness of a left or right bar
    int dockHeight = 32;             // thickness of a top or bottom bar
    Box floatRect;
    int floatMinWidth = 0, floatMinHeight = 0;
    int floatMaxWidth = 0, floatMaxHeight = 0;  // the screen's size at creation
    int dockMinWidth = 0, dockMinHeight = 0;
    int dockMaxWidth = 0, dockMaxHeight = 0;  // half the screen at creation
    int taskbarButton = 2;                    // 0 always, 1 never, 2 only while floating
    bool fullScreenApp = false;               // the shell reports a full-screen application
    bool autoHideVisible = false;             // an auto-hide bar is slid out
    friend bool operator==(const AppBarFields&, const AppBarFields&) = default;
};

class TAppBar : public QObject, public BarMessages, public AppBarShellListener {
    Q_OBJECT
public:
    static constexpr int kDefaultSlideTime = 400;
    // The text of the refusal box when an edge's auto-hide place is taken.
    static QString refusalText();

    explicit TAppBar(const BarDesktop& desktop, QObject* parent = nullptr);
    ~TAppBar() override;

    AppBarFields& fields() { return fields_; }
    const AppBarFields& fields() const { return fields_; }

    // Attaches the bar to a shown window: starts the auto-hide check,
    // takes the window's rectangle as the floating one, registers with the
    // shell and applies the current state.
    void Extends(BarWindow& window);
    // Stops the check, unregisters (state Unknown) and lets the window go.
    void Detach();
    bool attached() const { return window_ != nullptr; }
    // Back to the values the bar was created with (a detached bar only).
    void reset();

    // The state: the one proposed while a drag is under way, otherwise the
    // current one. Writing runs the state machine.
    BarEdge edge() const { return proposedEdge_ != BarEdge::Unknown ? proposedEdge_ : state_; }
    BarEdge state() const { return state_; }
    void setEdge(BarEdge state);
    // Applies the current state again.
    void UpdateBar() { setEdge(state_); }

    // Length of a slide and period of the auto-hide check (restarts it).
    int slideTime() const { return slideTime_; }
    void setSlideTime(int ms);

    // The docked rectangle at an edge (the shell's share taken off unless
    // auto-hiding).
    Box DockRect(BarEdge edge);
    // The slid-out or hidden place of `rect`; nothing unless auto-hiding
    // and docked.
    std::optional<Box> AutoHideRect(bool visible, const Box& rect) const;
    // Slides an auto-hide bar out (true) or back (false).
    void ShowAutoHidden(bool show);
    // Moves the window to `target`, animated over slideTime() when slides
    // are on; returns at once.
    void SlideTo(const Box& target);
    bool sliding() const { return slide_.isActive(); }
    int slideFramesShown() const { return slideFrames_; }

    // The auto-hide check (timer 100's tick; tests may call it).
    void autoHideCheck();

    // Window messages (from the window adapter).
    void barMouseOverFrame() override { ShowAutoHidden(true); }
    void barEnterSizeMove() override { proposedEdge_ = state_; }
    Box barMoving(const Box& rect, QPoint mouse) override;
    void barExitSizeMove() override;
    int barSizingSides() const override { return sizingSides(edge(), fields_.sizeIncX, fields_.sizeIncY); }
    Box barSizing(const Box& rect, int sides) override;
    void barActivated(bool active) override;
    void barWindowPosChanged() override;

    // Shell notifications.
    void shellPositionChanged() override;
    void shellScreenChanged() override;
    void shellFullScreenApp(bool on) override;
    void shellWindowManagerChanged() override;
    void shellAutoHideTaken(BarEdge edge) override;

signals:
    // A slide reached its target.
    void slideFinished();

private:
    void applyFrame(BarEdge state);
    void slideStep();

    const BarDesktop& desktop_;
    AppBarFields created_;
    AppBarFields fields_;
    BarWindow* window_ = nullptr;
    BarEdge state_ = BarEdge::Floating;
    BarEdge proposedEdge_ = BarEdge::Unknown;
    int slideTime_ = kDefaultSlideTime;
    QTimer check_;  // the auto-hide check
    QTimer slide_;
    QElapsedTimer slideClock_;
    Box slideFrom_, slideTo_;
    int slideFrames_ = 0;
};

}  // namespace velmora
