#include "video/video_place.h"

#include "base/rounding.h"

#include <algorithm>

namespace velmora {

VideoPlace videoPlaceOf(QPoint topLeft, int belowScreen)
{
    if (topLeft.x() == kParkedLeft)
        return VideoPlace::Parked;
    if (topLeft.y() == belowScreen)
        return VideoPlace::Dropped;
    return VideoPlace::Shown;
}

QSize clientSizeForPicture(QSize picture, double devicePixelRatio)
{
    if (devicePixelRatio <= 0)
        return picture;
    // At least a pixel each way: a tiny picture on a dense screen still shows.
    return {std::max(1, roundHalfEven(picture.width() / devicePixelRatio)),
            std::max(1, roundHalfEven(picture.height() / devicePixelRatio))};
}

int belowScreenTop(const QRect& virtualDesktop) { return virtualDesktop.y() + virtualDesktop.height(); }

}  // namespace velmora
