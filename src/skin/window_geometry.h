#pragma once
// Window geometry of the three skinned windows as pure functions on points,
// rectangles and screen lists; the widgets only call these.
//
// Units are Qt's device-independent pixels throughout (the stored window
// places are pixels too), so one pixel of a skin means the same on a HiDPI
// screen.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QRegion>

namespace velmora {

// Offsets of the volume and playlist windows from the main window's
// top-left corner, as the skin gives them.
struct GroupOffsets {
    QPoint volume;
    QPoint playlist;
    friend bool operator==(const GroupOffsets&, const GroupOffsets&) = default;
};

struct GroupPlaces {
    QPoint main, volume, playlist;
    friend bool operator==(const GroupPlaces&, const GroupPlaces&) = default;
};

// The group move. `grab` is where the left button went down on a window's
// background and `pointer` where it is now, both relative to the window
// that was pressed:
//   1. the main window moves by pointer - grab;
//   2. the volume and playlist windows go to their offsets from it.
// Pointer = grab (the start-up call with 0, 0 before any press) only places
// the companions. Dragging a companion works the same way: it is put back
// at its offset, so it moves by the same amount and stays under the pointer.
GroupPlaces moveGroup(QPoint mainTopLeft, QPoint grab, QPoint pointer, const GroupOffsets& offsets);

// The outline of a window: the rectangle (0, 0, width, height) with each
// corner cut by the quarter of an ellipse `radius` pixels wide and high (the
// corner's own radius is radius / 2); radius 0 or less gives the plain
// rectangle. Built from one rectangle per pixel row, so it is exact and the
// same on every platform.
QRegion roundedWindowRegion(int width, int height, int radius);

// Whole-window alpha for an opacity in percent: round(p * 255 / 100), halves
// to even; p is clamped to 0..100 first (75 -> 191, 50 -> 128, 10 -> 26).
int alphaForPercent(int percent);

// The opacity a window gets when the windows are first shown: the stored
// value clamped to 0..100 and, because 0 would hide a window for good,
// raised to at least 10.
int startOpacity(int storedPercent);

// Where a window whose frame is `window` should go so that it can be seen:
// unchanged when it overlaps any of the available screen areas; otherwise
// moved onto the nearest one (the smallest distance between the rectangles),
// as far as needed to lie inside it (its top-left corner at the area's
// top-left when it is larger than the area). No screens: unchanged.
QPoint placeOnScreens(const QRect& window, const QList<QRect>& available);

}  // namespace velmora
