#include "appbar/app_bar.h"

#include "appbar/app_bar_log.h"

Q_LOGGING_CATEGORY(lcAppBar, "velmora.appbar", QtWarningMsg)

namespace velmora {

namespace {

constexpr int kSlideFrameMs = 10;  // about 100 frames a second
constexpr BarEdge kEdges[] = {BarEdge::Left, BarEdge::Top, BarEdge::Right, BarEdge::Bottom};

AppBarFields createdFields(const Box& screen)
{
    AppBarFields f;
    f.floatMaxWidth = screen.width();
    f.floatMaxHeight = screen.height();
    f.dockMaxWidth = screen.width() / 2;
    f.dockMaxHeight = screen.height() / 2;
    return f;
}

}  // namespace

QString TAppBar::refusalText()
{
    return QStringLiteral("There is already an auto hidden window on this edge.\n"
                          "Only one auto hidden window is allowed on each edge.");
}

TAppBar::TAppBar(const BarDesktop& desktop, QObject* parent)
    : QObject(parent), desktop_(desktop), created_(createdFields(desktop.screen())), fields_(created_)
{
    check_.setInterval(slideTime_);
    connect(&check_, &QTimer::timeout, this, &TAppBar::autoHideCheck);
    slide_.setTimerType(Qt::PreciseTimer);
    slide_.setInterval(kSlideFrameMs);
    connect(&slide_, &QTimer::timeout, this, &TAppBar::slideStep);
}

TAppBar::~TAppBar()
{
    if (window_)
        Detach();
}

void TAppBar::Extends(BarWindow& window)
{
    // 1. take over the window's messages; 2. the auto-hide check;
    // 3. the window's own place is the floating one; 4. register; 5. apply.
    window_ = &window;
    window.intercept(this);
    window.shell().setListener(this);
    check_.start(slideTime_);
    fields_.floatRect = window.rect();
    window.shell().registerBar();
    UpdateBar();
}

void TAppBar::Detach()
{
    if (!window_)
        return;
    check_.stop();
    slide_.stop();
    setEdge(BarEdge::Unknown);
    window_->intercept(nullptr);
    window_->shell().setListener(nullptr);
    window_ = nullptr;
}

void TAppBar::reset()
{
    if (window_)
        return;
    fields_ = created_;
    state_ = BarEdge::Floating;
    proposedEdge_ = BarEdge::Unknown;
    slideTime_ = kDefaultSlideTime;
    check_.setInterval(slideTime_);
}

void TAppBar::setSlideTime(int ms)
{
    slideTime_ = ms;
    check_.setInterval(ms);  // restarts a running timer
}

// The state machine. Without a window only the state changes.
void TAppBar::setEdge(BarEdge state)
{
    if (!window_) {
        state_ = state;
        return;
    }
    AppBarShell& shell = window_->shell();
    // 1. give up any edge's auto-hide place this bar holds, except the one
    // it is about to take again: released in between, another bar could
    // take it and this one would stay refused.
    const BarEdge next = proposedEdge_ != BarEdge::Unknown ? proposedEdge_ : state;
    const bool keep = isDocked(state) && fields_.autoHide;
    for (BarEdge e : kEdges) {
        if (!(keep && e == next) && shell.isAutoHideBar(e))
            shell.setAutoHideBar(e, false);
    }
    // 2.
    state_ = state;
    // 3.
    if (state == BarEdge::Unknown) {
        shell.removeBar();
    } else if (state == BarEdge::Floating) {
        shell.setPos(BarEdge::Floating, Box{});
        slide_.stop();
        window_->place(fields_.floatRect);
    } else {
        const BarEdge e = edge();
        if (fields_.autoHide && !shell.setAutoHideBar(e, true)) {
            fields_.autoHide = false;
            window_->showRefusal(refusalText());
        }
        Box r = DockRect(e);
        if (fields_.autoHide)
            shell.setPos(BarEdge::Left, Box{});  // auto-hide bars reserve nothing
        else
            r = shell.setPos(e, r);
        if (fields_.autoHide) {
            if (auto hidden = autoHideRectFor(fields_.autoHideVisible, r, e, desktop_.screen(), desktop_.borderSize()))
                r = *hidden;
        }
        SlideTo(r);
    }
    // 4. z-order, without activating
    if (!fields_.alwaysOnTop)
        window_->setStacking(BarStacking::Normal);
    else
        window_->setStacking(fields_.fullScreenApp ? BarStacking::Bottom : BarStacking::Topmost);
    // 5.
    shell.activate();
    // 6., 7.
    applyFrame(state_);
}

void TAppBar::applyFrame(BarEdge state)
{
    std::optional<bool> taskbar;
    if (fields_.taskbarButton == 0)
        taskbar = true;
    else if (fields_.taskbarButton == 1)
        taskbar = false;
    else if (state == BarEdge::Floating)
        taskbar = true;
    else if (isDocked(state))
        taskbar = false;
    window_->setFrame(state == BarEdge::Floating, taskbar);
}

Box TAppBar::DockRect(BarEdge edge)
{
    Box base = desktop_.screen();
    if (!fields_.autoHide && window_ && isDocked(edge))
        base = window_->shell().queryPos(edge, base);
    return dockRectFrom(base, edge, fields_.dockWidth, fields_.dockHeight);
}

std::optional<Box> TAppBar::AutoHideRect(bool visible, const Box& rect) const
{
    if (!fields_.autoHide)
        return std::nullopt;
    return autoHideRectFor(visible, rect, edge(), desktop_.screen(), desktop_.borderSize());
}

void TAppBar::ShowAutoHidden(bool show)
{
    if (!window_)
        return;
    // A slide under way is measured from where it is going.
    const Box from = slide_.isActive() ? slideTo_ : window_->rect();
    if (auto r = AutoHideRect(show, from)) {
        fields_.autoHideVisible = show;
        SlideTo(*r);
    }
}

void TAppBar::SlideTo(const Box& target)
{
    if (!window_)
        return;
    const Box now = window_->rect();
    if (slide_.isActive() && target == slideTo_)
        return;
    if (now == target) {
        slide_.stop();
        return;
    }
    if (!desktop_.dragFullWindows() || !fields_.slideEffect || slideTime_ <= 0) {
        slide_.stop();
        window_->place(target);
        return;
    }
    slideFrom_ = now;
    slideTo_ = target;
    slideFrames_ = 0;
    slideClock_.start();
    slide_.start();
}

void TAppBar::slideStep()
{
    const qint64 elapsed = slideClock_.elapsed();
    if (elapsed >= slideTime_) {
        slide_.stop();
        window_->place(slideTo_);
        ++slideFrames_;
        emit slideFinished();
        return;
    }
    const Box frame = slideFrame(slideFrom_, slideTo_, elapsed, slideTime_);
    if (frame != window_->rect()) {
        window_->place(frame);
        ++slideFrames_;
    }
}

void TAppBar::autoHideCheck()
{
    if (!window_ || window_->isActive())
        return;
    const Box r = window_->rect();
    const QSize d = desktop_.doubleClickSize();
    const int gx = 2 * d.width(), gy = 2 * d.height();
    const QPoint p = desktop_.cursorPos();
    const bool inside = p.x() >= r.left - gx && p.x() < r.right + gx && p.y() >= r.top - gy && p.y() < r.bottom + gy;
    if (!inside)
        ShowAutoHidden(false);
}

Box TAppBar::barMoving(const Box& rect, QPoint mouse)
{
    if (!window_)
        return rect;
    EdgeRule rule;
    rule.screen = desktop_.screen();
    rule.workArea = window_->shell().workArea();
    rule.scrollBar = desktop_.scrollBarSize();
    rule.allowedEdges = fields_.allowedEdges;
    rule.controlHeld = desktop_.controlHeld();
    rule.current = state_;
    const BarEdge proposed = edgeForPoint(mouse, rule);
    Box r = rect;
    if (proposed == BarEdge::Floating && isDocked(edge()))
        r = floatingDragRect(fields_.floatRect, mouse);
    proposedEdge_ = proposed;
    if (isDocked(proposed))
        r = DockRect(proposed);
    if (desktop_.dragFullWindows())
        applyFrame(proposed);
    return r;
}

Box TAppBar::barSizing(const Box& rect, int sides)
{
    BarSizes sizes;
    sizes.floatMin = QSize(fields_.floatMinWidth, fields_.floatMinHeight);
    sizes.floatMax = QSize(fields_.floatMaxWidth, fields_.floatMaxHeight);
    sizes.dockMin = QSize(fields_.dockMinWidth, fields_.dockMinHeight);
    sizes.dockMaxWidth = fields_.dockMaxWidth;
    sizes.dockMaxHeight = fields_.dockMaxHeight;
    return sizeWithin(rect, sides, sizeLimits(edge(), sizes, desktop_.screen()), fields_.sizeIncX, fields_.sizeIncY);
}

void TAppBar::barExitSizeMove()
{
    if (!window_)
        return;
    const Box r = window_->rect();
    const BarEdge proposed = proposedEdge_ == BarEdge::Unknown ? state_ : proposedEdge_;
    proposedEdge_ = BarEdge::Unknown;
    const BarExtent extent = endOfMove(r, state_, proposed,
                                       {fields_.dockWidth, fields_.dockHeight, fields_.floatRect},
                                       window_->shell().workArea());
    fields_.dockWidth = extent.dockWidth;
    fields_.dockHeight = extent.dockHeight;
    fields_.floatRect = extent.floatRect;
    setEdge(proposed);
}

void TAppBar::barActivated(bool active)
{
    if (!window_)
        return;
    if (!active)
        ShowAutoHidden(false);
    window_->shell().activate();
}

void TAppBar::barWindowPosChanged()
{
    if (window_)
        window_->shell().windowPosChanged();
}

void TAppBar::shellPositionChanged()
{
    if (!fields_.autoHide && state_ != BarEdge::Floating) {
        qCDebug(lcAppBar) << "the shell moved the bars: placing again";
        UpdateBar();
    }
}

// An auto-hiding bar too: it would keep the old screen's width and place.
void TAppBar::shellScreenChanged()
{
    if (isDocked(state_))
        UpdateBar();
}

// A new window manager knows nothing of the bar's stacking and space.
void TAppBar::shellWindowManagerChanged()
{
    if (window_)
        UpdateBar();
}

// Another bar took the edge's auto-hide place: docked with its space
// reserved, as a refused bar.
void TAppBar::shellAutoHideTaken(BarEdge edge)
{
    if (!window_ || !fields_.autoHide || edge != state_)
        return;
    fields_.autoHide = false;
    UpdateBar();
}

void TAppBar::shellFullScreenApp(bool on)
{
    fields_.fullScreenApp = on;
    UpdateBar();
}

}  // namespace velmora
