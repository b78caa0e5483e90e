#include "playback/video_place.h"

namespace velmora {

VideoPlace videoPlaceOf(QPoint topLeft, int belowScreen)
{
    if (topLeft.x() == kParkedLeft)
        return VideoPlace::Parked;
    if (topLeft.y() == belowScreen)
        return VideoPlace::Dropped;
    return VideoPlace::Shown;
}

int belowScreenTop(const QRect& virtualDesktop) { return virtualDesktop.y() + virtualDesktop.height(); }

}  // namespace velmora
