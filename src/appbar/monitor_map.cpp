#include "appbar/monitor_map.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

double ratio(int native, int logical)
{
    return logical > 0 ? double(native) / logical : 1.0;
}

bool overlap(int a0, int a1, int b0, int b1)
{
    return a0 < b1 && b0 < a1;
}

}  // namespace

int MonitorMap::toNativeX(int x) const
{
    return native.left + int(std::lround((x - logical.left) * ratio(native.width(), logical.width())));
}

int MonitorMap::toNativeY(int y) const
{
    return native.top + int(std::lround((y - logical.top) * ratio(native.height(), logical.height())));
}

int MonitorMap::toLogicalX(int x) const
{
    const double v = (x - native.left) / ratio(native.width(), logical.width());
    return logical.left + int(x - native.left < native.width() / 2 ? std::ceil(v) : std::floor(v));
}

int MonitorMap::toLogicalY(int y) const
{
    const double v = (y - native.top) / ratio(native.height(), logical.height());
    return logical.top + int(y - native.top < native.height() / 2 ? std::ceil(v) : std::floor(v));
}

bool innerEdge(BarEdge edge, const Box& m, const std::vector<Box>& monitors)
{
    for (const Box& o : monitors) {
        if (o == m)
            continue;
        switch (edge) {
        case BarEdge::Left:
            if (o.left < m.left && overlap(o.top, o.bottom, m.top, m.bottom))
                return true;
            break;
        case BarEdge::Right:
            if (o.right > m.right && overlap(o.top, o.bottom, m.top, m.bottom))
                return true;
            break;
        case BarEdge::Top:
            if (o.top < m.top && overlap(o.left, o.right, m.left, m.right))
                return true;
            break;
        case BarEdge::Bottom:
            if (o.bottom > m.bottom && overlap(o.left, o.right, m.left, m.right))
                return true;
            break;
        default: break;
        }
    }
    return false;
}

QList<quint32> strutFor(BarEdge edge, const Box& bar, const Box& monitor, const std::vector<Box>& monitors, QSize root)
{
    if (!isDocked(edge) || innerEdge(edge, monitor, monitors))
        return {};
    const auto n = [](qint64 v) { return quint32(std::max<qint64>(0, v)); };
    QList<quint32> s(12, 0);
    switch (edge) {
    case BarEdge::Left:
        s[0] = n(bar.right);
        s[4] = n(bar.top), s[5] = n(bar.bottom - 1);
        break;
    case BarEdge::Right:
        s[1] = n(qint64(root.width()) - bar.left);
        s[6] = n(bar.top), s[7] = n(bar.bottom - 1);
        break;
    case BarEdge::Top:
        s[2] = n(bar.bottom);
        s[8] = n(bar.left), s[9] = n(bar.right - 1);
        break;
    case BarEdge::Bottom:
        s[3] = n(qint64(root.height()) - bar.top);
        s[10] = n(bar.left), s[11] = n(bar.right - 1);
        break;
    default: break;
    }
    return s;
}

}  // namespace velmora
