#pragma once
// Geometry of an application bar as pure functions over rectangles and the
// screen it lies on; TAppBar and the window adapters only call these.
//
// Rectangles are Box values: left, top, right, bottom with the right and
// bottom edges excluded (width = right - left), in screen pixels. The screen
// is the one the bar docks on (the primary screen), which need not start at
// 0, 0 in a layout of several monitors. Coordinates are full ints; products
// are taken in 64 bits.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace velmora {

// The bar's state; the docked values are the shell's edge codes.
enum class BarEdge : int { Left = 0, Top = 1, Right = 2, Bottom = 3, Unknown = 4, Floating = 5 };

inline bool isDocked(BarEdge e) { return static_cast<int>(e) >= 0 && static_cast<int>(e) <= 3; }

// Bits of the allowed-edges set.
namespace edge_bits {
inline constexpr int Left = 1, Right = 2, Top = 4, Bottom = 8, Floating = 16, All = 31;
}
// The bit of a state (0 for Unknown).
int edgeBit(BarEdge edge);

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    Box movedTo(int x, int y) const { return {x, y, x + width(), y + height()}; }
    QRect toRect() const { return QRect(left, top, width(), height()); }
    static Box fromRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend bool operator==(const Box&, const Box&) = default;
};

// The edge for a mouse position while the bar is dragged:
//   1. Control held and floating allowed: floating;
//   2. floating allowed: inside the work area shrunk by the scroll-bar
//      sizes (edges included), or no edge allowed at all: floating;
//   3. otherwise the side of the screen centre the point lies towards,
//      weighing dx and dy by the screen's aspect (ties go left or right,
//      dx = 0 to right, dy = 0 to bottom);
//   4. an edge that is not allowed gives floating when that is allowed,
//      otherwise the current state.
struct EdgeRule {
    Box screen;
    Box workArea;
    QSize scrollBar;  // width of a vertical, height of a horizontal scroll bar
    int allowedEdges = edge_bits::All;
    bool controlHeld = false;
    BarEdge current = BarEdge::Floating;
};
BarEdge edgeForPoint(QPoint p, const EdgeRule& rule);

// The docked rectangle for a state from the (shell-adjusted) screen
// rectangle: the bar's thickness is cut from its edge. Other states: `base`.
Box dockRectFrom(const Box& base, BarEdge edge, int dockWidth, int dockHeight);

// Where an auto-hide bar of `edge` lies when slid out (visible: fully on
// the screen at its edge) or hidden (all but a strip of 2 x border pixels
// off the screen; a border under 1 pixel counts as 1, so the strip is never
// less than 2 pixels). Keeps the rectangle's size; nothing for states other
// than the docked ones.
std::optional<Box> autoHideRectFor(bool visible, const Box& rect, BarEdge edge, const Box& screen, QSize border);

// One frame of a slide: left, top, width and height each linear in the
// elapsed time, integer arithmetic truncating; `to` once the time is up.
Box slideFrame(const Box& from, const Box& to, qint64 elapsedMs, qint64 totalMs);

// The least and largest size of the bar in a state.
struct SizeLimits {
    QSize minimum;
    QSize maximum;
};
struct BarSizes {
    QSize floatMin, floatMax;  // FloatMinWidth/Height, FloatMaxWidth/Height
    QSize dockMin;             // DockMinWidth, DockMinHeight
    int dockMaxWidth = 0, dockMaxHeight = 0;
};
SizeLimits sizeLimits(BarEdge state, const BarSizes& sizes, const Box& screen);

// Sides of a rectangle, combined for corners.
namespace side {
inline constexpr int Left = 1, Top = 2, Right = 4, Bottom = 8;
}

// The sizing snap: the dragged sides move so that width = minimum +
// incX * k with k = (width - minimum + incX / 2) / incX (a zero step keeps
// the dragged width); the same for the height. The opposite sides stay.
Box snapSize(const Box& dragged, int sides, QSize minimum, int incX, int incY);

// A size drag: the size kept within the state's limits, then snapped from
// its minimum.
Box sizeWithin(const Box& dragged, int sides, const SizeLimits& limits, int incX, int incY);

// The borders that still size the bar: floating, every side whose step is
// not zero; docked, only the inner side (right of a left bar, bottom of a
// top bar, ...) when the step across the thickness is not zero.
int sizingSides(BarEdge state, int incX, int incY);

// A drag leaving a docked state for floating: the floating size, centred
// horizontally on the mouse with its top at the mouse.
Box floatingDragRect(const Box& floatRect, QPoint mouse);

// The end of a move or size of a bar whose rectangle is now `rect`, going
// from state `before` to the proposed state `proposed`:
//   1. docked at the same edge: the new thickness is kept;
//   2. to floating from docked: the float rectangle starts at rect's corner
//      with rect's size, or the old float size when rect is at least as wide
//      or as high as the work area; floating already: the float rectangle is
//      rect.
struct BarExtent {
    int dockWidth = 0;
    int dockHeight = 0;
    Box floatRect;
    friend bool operator==(const BarExtent&, const BarExtent&) = default;
};
BarExtent endOfMove(const Box& rect, BarEdge before, BarEdge proposed, const BarExtent& extent, const Box& workArea);

}  // namespace velmora
