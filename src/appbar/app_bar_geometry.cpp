#include "appbar/app_bar_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace velmora {

int edgeBit(BarEdge edge)
{
    switch (edge) {
    case BarEdge::Left: return edge_bits::Left;
    case BarEdge::Top: return edge_bits::Top;
    case BarEdge::Right: return edge_bits::Right;
    case BarEdge::Bottom: return edge_bits::Bottom;
    case BarEdge::Floating: return edge_bits::Floating;
    case BarEdge::Unknown: break;
    }
    return 0;
}

BarEdge edgeForPoint(QPoint p, const EdgeRule& rule)
{
    const bool floatAllowed = (rule.allowedEdges & edge_bits::Floating) != 0;
    if (rule.controlHeld && floatAllowed)
        return BarEdge::Floating;
    if (floatAllowed) {
        const Box& w = rule.workArea;
        const int sx = rule.scrollBar.width(), sy = rule.scrollBar.height();
        const bool inside = p.x() >= w.left + sx && p.x() <= w.right - sx && p.y() >= w.top + sy && p.y() <= w.bottom - sy;
        const int edgesAllowed = rule.allowedEdges & (edge_bits::All & ~edge_bits::Floating);
        if (inside || edgesAllowed == 0)
            return BarEdge::Floating;
    }
    const std::int64_t width = rule.screen.width(), height = rule.screen.height();
    const std::int64_t dx = std::int64_t(p.x()) - (rule.screen.left + width / 2);
    const std::int64_t dy = std::int64_t(p.y()) - (rule.screen.top + height / 2);
    BarEdge candidate;
    if (height * std::llabs(dx) < width * std::llabs(dy))
        candidate = dy < 0 ? BarEdge::Top : BarEdge::Bottom;
    else
        candidate = dx < 0 ? BarEdge::Left : BarEdge::Right;
    if ((rule.allowedEdges & edgeBit(candidate)) == 0)
        return floatAllowed ? BarEdge::Floating : rule.current;
    return candidate;
}

Box dockRectFrom(const Box& base, BarEdge edge, int dockWidth, int dockHeight)
{
    Box r = base;
    switch (edge) {
    case BarEdge::Left: r.right = r.left + dockWidth; break;
    case BarEdge::Top: r.bottom = r.top + dockHeight; break;
    case BarEdge::Right: r.left = r.right - dockWidth; break;
    case BarEdge::Bottom: r.top = r.bottom - dockHeight; break;
    case BarEdge::Unknown:
    case BarEdge::Floating: break;
    }
    return r;
}

std::optional<Box> autoHideRectFor(bool visible, const Box& rect, BarEdge edge, const Box& screen, QSize border)
{
    const int w = rect.width(), h = rect.height();
    // A platform without a border (no frame, no window manager) still
    // leaves a strip to touch.
    const int b = 2 * std::max(1, border.width()), c = 2 * std::max(1, border.height());
    switch (edge) {
    case BarEdge::Left: return rect.movedTo(visible ? screen.left : screen.left + b - w, rect.top);
    case BarEdge::Top: return rect.movedTo(rect.left, visible ? screen.top : screen.top + c - h);
    case BarEdge::Right: return rect.movedTo(visible ? screen.right - w : screen.right - b, rect.top);
    case BarEdge::Bottom: return rect.movedTo(rect.left, visible ? screen.bottom - h : screen.bottom - c);
    case BarEdge::Unknown:
    case BarEdge::Floating: break;
    }
    return std::nullopt;
}

Box slideFrame(const Box& from, const Box& to, qint64 elapsedMs, qint64 totalMs)
{
    if (totalMs <= 0 || elapsedMs >= totalMs)
        return to;
    if (elapsedMs < 0)
        elapsedMs = 0;
    const auto step = [&](std::int64_t a, std::int64_t b) { return static_cast<int>(a + (b - a) * elapsedMs / totalMs); };
    const int left = step(from.left, to.left);
    const int top = step(from.top, to.top);
    const int width = step(from.width(), to.width());
    const int height = step(from.height(), to.height());
    return {left, top, left + width, top + height};
}

SizeLimits sizeLimits(BarEdge state, const BarSizes& sizes, const Box& screen)
{
    if (state == BarEdge::Floating)
        return {sizes.floatMin, sizes.floatMax};
    QSize maximum(screen.width(), screen.height());
    if (state != BarEdge::Top && state != BarEdge::Bottom)
        maximum.setWidth(sizes.dockMaxWidth);
    if (state != BarEdge::Left && state != BarEdge::Right)
        maximum.setHeight(sizes.dockMaxHeight);
    return {sizes.dockMin, maximum};
}

namespace {

int snapped(int length, int minimum, int inc)
{
    if (inc == 0)
        return length;
    return minimum + inc * ((length - minimum + inc / 2) / inc);
}

// The dragged sides move to give the size; the opposite ones stay.
Box resized(const Box& dragged, int sides, int width, int height)
{
    Box r = dragged;
    if (sides & side::Left)
        r.left = r.right - width;
    else
        r.right = r.left + width;
    if (sides & side::Top)
        r.top = r.bottom - height;
    else
        r.bottom = r.top + height;
    return r;
}

}  // namespace

Box snapSize(const Box& dragged, int sides, QSize minimum, int incX, int incY)
{
    return resized(dragged, sides, snapped(dragged.width(), minimum.width(), incX),
                   snapped(dragged.height(), minimum.height(), incY));
}

Box sizeWithin(const Box& dragged, int sides, const SizeLimits& limits, int incX, int incY)
{
    const QSize low = limits.minimum, high = limits.maximum.expandedTo(limits.minimum);
    const Box limited = resized(dragged, sides, std::clamp(dragged.width(), low.width(), high.width()),
                                std::clamp(dragged.height(), low.height(), high.height()));
    return snapSize(limited, sides, low, incX, incY);
}

int sizingSides(BarEdge state, int incX, int incY)
{
    switch (state) {
    case BarEdge::Left: return incX != 0 ? side::Right : 0;
    case BarEdge::Top: return incY != 0 ? side::Bottom : 0;
    case BarEdge::Right: return incX != 0 ? side::Left : 0;
    case BarEdge::Bottom: return incY != 0 ? side::Top : 0;
    case BarEdge::Floating:
        return (incX != 0 ? side::Left | side::Right : 0) | (incY != 0 ? side::Top | side::Bottom : 0);
    case BarEdge::Unknown: break;
    }
    return 0;
}

Box floatingDragRect(const Box& floatRect, QPoint mouse)
{
    const int left = mouse.x() - floatRect.width() / 2;
    return Box{left, mouse.y(), left + floatRect.width(), mouse.y() + floatRect.height()};
}

BarExtent endOfMove(const Box& rect, BarEdge before, BarEdge proposed, const BarExtent& extent, const Box& workArea)
{
    BarExtent out = extent;
    if (proposed == before && isDocked(proposed)) {
        if (proposed == BarEdge::Top || proposed == BarEdge::Bottom)
            out.dockHeight = rect.height();
        else
            out.dockWidth = rect.width();
    }
    if (proposed == BarEdge::Floating) {
        if (isDocked(before)) {
            const bool fills = rect.width() >= workArea.width() || rect.height() >= workArea.height();
            const int w = fills ? extent.floatRect.width() : rect.width();
            const int h = fills ? extent.floatRect.height() : rect.height();
            out.floatRect = Box{rect.left, rect.top, rect.left + w, rect.top + h};
        } else if (before == BarEdge::Floating) {
            out.floatRect = rect;
        }
    }
    return out;
}

}  // namespace velmora
