#include "appbar/qt_bar_window.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace velmora {

Box QtBarDesktop::screen() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? Box::fromRect(primary->geometry()) : Box{0, 0, 1024, 768};
}

QPoint QtBarDesktop::cursorPos() const
{
    return QCursor::pos();
}

bool QtBarDesktop::controlHeld() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

QSize QtBarDesktop::borderSize() const
{
    return QSize(0, 0);
}

QSize QtBarDesktop::scrollBarSize() const
{
    const int extent = QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    return QSize(extent, extent);
}

QSize QtBarDesktop::doubleClickSize() const
{
    const int d = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    return QSize(d, d);
}

bool LocalAppBarShell::setAutoHideBar(BarEdge edge, bool on)
{
    if (on)
        held_ = static_cast<int>(edge);
    else if (held_ == static_cast<int>(edge))
        held_ = -1;
    return true;
}

QtBarWindow::QtBarWindow(QWidget& widget, std::unique_ptr<AppBarShell> shell, std::optional<x11::Server> server)
    : widget_(widget), shell_(std::move(shell)), server_(server)
{
    if (!server_)
        return;
    rootEvents_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(rootEvents_))
        return;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(rootEvents_, server_->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(rootEvents_);
    auto* notifier = new QSocketNotifier(xcb_get_file_descriptor(rootEvents_), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QtBarWindow::readRootEvents);
}

QtBarWindow::~QtBarWindow()
{
    intercept(nullptr);
    if (rootEvents_)
        xcb_disconnect(rootEvents_);
}

// Without a window manager a window mapped later would cover the bar.
void QtBarWindow::readRootEvents()
{
    bool mapped = false;
    const auto id = static_cast<xcb_window_t>(widget_.winId());
    while (xcb_generic_event_t* event = xcb_poll_for_event(rootEvents_)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            mapped = mapped || (map->window != id && !map->override_redirect);
        }
        std::free(event);
    }
    if (mapped && stacking_ == BarStacking::Topmost && !shell_->windowManagerRuns())
        x11::restack(*server_, id, stacking_);
}

Box QtBarWindow::rect() const
{
    return Box::fromRect(widget_.geometry());
}

void QtBarWindow::place(const Box& rect)
{
    const QRect r = rect.toRect();
    if (widget_.geometry() == r)
        return;
    clipToScreen(r);
    widget_.setGeometry(r);
    // Without a window manager nothing keeps the bar above the others.
    if (server_ && stacking_ != BarStacking::Normal && !shell_->windowManagerRuns())
        x11::restack(*server_, static_cast<xcb_window_t>(widget_.winId()), stacking_);
}

// A bar hidden at (or sliding from) an edge its monitor shares with
// another shows only the part on its own monitor: a shape, changed only
// when the visible part does.
void QtBarWindow::clipToScreen(const QRect& r)
{
    // Compared in X pixels, where the monitors touch: Qt keeps each
    // screen's native top-left and scales its size.
    const auto native = [](const QScreen* s) {
        return QRect(s->geometry().topLeft(), s->geometry().size() * s->devicePixelRatio());
    };
    const QScreen* own = QGuiApplication::primaryScreen();
    QRect visible = r;
    if (own && !own->geometry().contains(r)) {
        const qreal ratio = own->devicePixelRatio();
        const QPoint origin = own->geometry().topLeft();
        const QRect nativeRect(origin + (r.topLeft() - origin) * ratio, r.size() * ratio);
        const QRegion beyond = QRegion(nativeRect) - native(own);
        for (const QScreen* other : QGuiApplication::screens()) {
            if (other != own && beyond.intersects(native(other))) {
                visible = r & own->geometry();
                break;
            }
        }
    }
    const QRect mask = visible == r ? QRect() : visible.translated(-r.topLeft());
    if (mask == mask_)
        return;
    mask_ = mask;
    if (mask.isNull())
        widget_.clearMask();
    else
        widget_.setMask(QRegion(mask.isEmpty() ? QRect(0, 0, 1, 1).translated(-2, -2) : mask));
}

void QtBarWindow::setStacking(BarStacking stacking)
{
    stacking_ = stacking;
    if (server_)
        x11::setStacking(*server_, static_cast<xcb_window_t>(widget_.winId()), stacking, shell_->windowManagerRuns());
}

// A window's type is read when it is mapped, so a change of frame remaps
// it (floating: a normal window; docked: a dock). The change waits for the
// event loop, so that the passing floating state while a bar is attached
// and docked at once costs nothing. Qt's own flags are left alone, as
// changing them may give the window a new X id. A dock never has a taskbar
// entry and a floating bar is a normal window with one, so the taskbar
// button follows the frame.
void QtBarWindow::setFrame(bool caption, std::optional<bool>)
{
    wantCaption_ = caption;
    if (framePending_)
        return;
    framePending_ = true;
    QTimer::singleShot(0, this, &QtBarWindow::applyFrame);
}

void QtBarWindow::applyFrame()
{
    framePending_ = false;
    if (wantCaption_ == caption_ || !handler_)
        return;
    caption_ = wantCaption_;
    const bool visible = widget_.isVisible();
    if (visible)
        widget_.hide();
    widget_.setAttribute(Qt::WA_X11NetWmWindowTypeDock, !caption_);
    if (server_) {
        x11::setDockType(*server_, static_cast<xcb_window_t>(widget_.winId()), !caption_);
        x11::setOnAllDesktops(*server_, static_cast<xcb_window_t>(widget_.winId()), false);
    }
    if (visible)
        widget_.show();
}

bool QtBarWindow::isActive() const
{
    return widget_.isActiveWindow();
}

void QtBarWindow::showRefusal(const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Information, widget_.windowTitle(), text, QMessageBox::Ok, &widget_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    // The bar may lie above the screen: the box goes to the screen's middle.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        box->adjustSize();
        box->move(screen->geometry().center() - box->rect().center());
    }
}

void QtBarWindow::intercept(BarMessages* handler)
{
    if (handler == handler_)
        return;
    if (handler_)
        widget_.removeEventFilter(this);
    handler_ = handler;
    dragging_ = false;
    sizing_ = 0;
    if (handler_)
        widget_.installEventFilter(this);
}

int QtBarWindow::sidesAt(QPoint local) const
{
    constexpr int kGrip = 4;  // pixels of a border that take a sizing drag
    if (!handler_)
        return 0;
    const int allowed = handler_->barSizingSides();
    int sides = 0;
    if (local.x() < kGrip)
        sides |= side::Left;
    if (local.x() >= widget_.width() - kGrip)
        sides |= side::Right;
    if (local.y() < kGrip)
        sides |= side::Top;
    if (local.y() >= widget_.height() - kGrip)
        sides |= side::Bottom;
    return sides & allowed;
}

bool QtBarWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &widget_ || !handler_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        handler_->barMouseOverFrame();
        break;
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint global = mouse->globalPosition().toPoint();
        if (sizing_) {
            const QPoint d = global - grab_;
            Box r = sizeStart_;
            if (sizing_ & side::Left)
                r.left += d.x();
            if (sizing_ & side::Right)
                r.right += d.x();
            if (sizing_ & side::Top)
                r.top += d.y();
            if (sizing_ & side::Bottom)
                r.bottom += d.y();
            place(handler_->barSizing(r, sizing_));
        } else if (dragging_) {
            const Box dragged = rect().movedTo(global.x() - grab_.x(), global.y() - grab_.y());
            place(handler_->barMoving(dragged, global));
        } else if (mouse->buttons() == Qt::NoButton) {
            const int sides = sidesAt(mouse->position().toPoint());
            const bool across = sides & (side::Left | side::Right), along = sides & (side::Top | side::Bottom);
            if (across && along)
                widget_.setCursor((sides == (side::Left | side::Top) || sides == (side::Right | side::Bottom))
                                      ? Qt::SizeFDiagCursor
                                      : Qt::SizeBDiagCursor);
            else if (sides)
                widget_.setCursor(across ? Qt::SizeHorCursor : Qt::SizeVerCursor);
            else
                widget_.unsetCursor();
            handler_->barMouseOverFrame();
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        // A sizing border sizes the bar; the rest of its body (not its
        // buttons, which take their own presses) drags it.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !dragging_ && !sizing_) {
            sizing_ = sidesAt(mouse->position().toPoint());
            dragging_ = sizing_ == 0;
            grab_ = mouse->globalPosition().toPoint() - (dragging_ ? widget_.pos() : QPoint());
            sizeStart_ = rect();
            handler_->barEnterSizeMove();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if ((dragging_ || sizing_) && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            dragging_ = false;
            sizing_ = 0;
            handler_->barExitSizeMove();
        }
        break;
    case QEvent::WindowActivate:
        handler_->barActivated(true);
        break;
    case QEvent::WindowDeactivate:
        handler_->barActivated(false);
        break;
    case QEvent::Move:
    case QEvent::Resize:
        handler_->barWindowPosChanged();
        break;
    default:
        break;
    }
    return false;
}

}  // namespace velmora
