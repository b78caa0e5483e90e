#include "skin/window_geometry.h"

#include "base/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace velmora {

GroupPlaces moveGroup(QPoint mainTopLeft, QPoint grab, QPoint pointer, const GroupOffsets& offsets)
{
    GroupPlaces p;
    p.main = mainTopLeft + (pointer - grab);
    p.volume = p.main + offsets.volume;
    p.playlist = p.main + offsets.playlist;
    return p;
}

QRegion roundedWindowRegion(int width, int height, int radius)
{
    if (width <= 0 || height <= 0)
        return {};
    // The corner ellipse is `radius` wide and high, but never larger than
    // the window.
    const double rx = std::min(radius, width) / 2.0;
    const double ry = std::min(radius, height) / 2.0;
    if (rx < 1 || ry < 1)
        return QRegion(0, 0, width, height);

    // One rectangle per corner row and the full-width middle band, handed
    // over in top-to-bottom order at once: adding them one by one costs
    // time quadratic in the radius (minutes for a skin's huge radius).
    const int cornerRows = static_cast<int>(std::ceil(ry));
    std::vector<QRect> top;
    top.reserve(static_cast<std::size_t>(cornerRows));
    for (int row = 0; row < cornerRows; ++row) {
        // Distance of the row's centre from the ellipse's centre line.
        const double dy = ry - (row + 0.5);
        const double t = 1.0 - (dy * dy) / (ry * ry);
        const double half = t <= 0 ? 0 : rx * std::sqrt(t);
        const int inset = static_cast<int>(std::lround(rx - half));
        const int w = width - 2 * inset;
        top.push_back(w > 0 ? QRect(inset, row, w, 1) : QRect());
    }
    std::vector<QRect> rects;
    rects.reserve(2 * top.size() + 1);
    for (const QRect& r : top) {
        if (!r.isNull())
            rects.push_back(r);
    }
    if (height - 2 * cornerRows > 0)
        rects.emplace_back(0, cornerRows, width, height - 2 * cornerRows);
    for (auto r = top.rbegin(); r != top.rend(); ++r) {
        const int mirroredTop = height - 1 - (r->isNull() ? 0 : r->y());
        if (!r->isNull() && mirroredTop >= cornerRows)  // an odd height's middle row is in already
            rects.push_back(r->translated(0, mirroredTop - r->y()));
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

int alphaForPercent(int percent)
{
    const int p = std::clamp(percent, 0, 100);
    return std::clamp(roundHalfEven(p * 255 / 100.0), 0, 255);
}

int startOpacity(int storedPercent)
{
    return std::clamp(storedPercent, 10, 100);
}

namespace {
// Distance between two rectangles (0 when they touch or overlap).
double rectDistance(const QRect& a, const QRect& b)
{
    const double dx = std::max({0, b.left() - a.right() - 1, a.left() - b.right() - 1});
    const double dy = std::max({0, b.top() - a.bottom() - 1, a.top() - b.bottom() - 1});
    return std::hypot(dx, dy);
}

int clampInto(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}
}  // namespace

QPoint placeOnScreens(const QRect& window, const QList<QRect>& available)
{
    if (available.isEmpty())
        return window.topLeft();
    for (const QRect& area : available) {
        if (area.intersects(window))
            return window.topLeft();
    }
    const QRect* nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    for (const QRect& area : available) {
        const double d = rectDistance(window, area);
        if (d < best) {
            best = d;
            nearest = &area;
        }
    }
    return {clampInto(window.left(), window.width(), nearest->left(), nearest->width()),
            clampInto(window.top(), window.height(), nearest->top(), nearest->height())};
}

}  // namespace velmora
