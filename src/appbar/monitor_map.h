#pragma once
// The bar's monitor in two coordinate systems: the program's (Qt's logical
// pixels) and the X server's. Qt keeps each screen's native top-left and
// scales its size by the device pixel ratio, so a logical point maps to X
// relative to that corner, not to 0, 0. And the strut rule of EWMH: struts
// count from the root window's edges, so a bar on an edge of its monitor
// that has another monitor beyond it (an inner edge) cannot reserve space
// without reserving that monitor's span too. Pure functions.

#include "appbar/app_bar_geometry.h"

#include <QList>

#include <vector>

namespace velmora {

struct MonitorMap {
    Box logical;  // the screen as the program sees it
    Box native;   // the same monitor in X pixels

    int toNativeX(int x) const;
    int toNativeY(int y) const;
    int toLogicalX(int x) const;  // rounded toward the monitor's inside
    int toLogicalY(int y) const;
    Box toNative(const Box& b) const { return {toNativeX(b.left), toNativeY(b.top), toNativeX(b.right), toNativeY(b.bottom)}; }
};

// Whether another monitor lies beyond `edge` of `monitor` within its span
// (all in X pixels).
bool innerEdge(BarEdge edge, const Box& monitor, const std::vector<Box>& monitors);

// The _NET_WM_STRUT_PARTIAL values (left, right, top, bottom, then the
// spans) that reserve the bar's rectangle `bar` (X pixels) at `edge` of a
// root window of `root` size; empty on an inner edge.
QList<quint32> strutFor(BarEdge edge, const Box& bar, const Box& monitor, const std::vector<Box>& monitors,
                        QSize root);

}  // namespace velmora
