#pragma once
// Where the video window stands: shown at its remembered place, parked out
// of sight to the left (no picture), or dropped below the screen (the
// program minimised or hidden). Pure functions on points; pixels.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velmora {

// The parked place: left -333, top 0, width 7 (the classic -4995 and 100
// twips at 15 twips per pixel).
inline constexpr int kParkedLeft = -333;
inline constexpr int kParkedTop = 0;
inline constexpr int kParkedWidth = 7;
// The display size that means "no picture" (the engine is given it before
// each open and keeps it for a clip without video).
inline constexpr QSize kNoPictureDisplay{2, 23};

enum class VideoPlace { Shown, Parked, Dropped };

// The client size, in device-independent pixels, that shows a picture of
// `picture` screen pixels one to one at this device pixel ratio.
QSize clientSizeForPicture(QSize picture, double devicePixelRatio);

// belowScreenTop: the top that puts a window below every screen.
VideoPlace videoPlaceOf(QPoint topLeft, int belowScreenTop);

// The top edge below every screen: the bottom of the virtual desktop + 1.
int belowScreenTop(const QRect& virtualDesktop);

}  // namespace velmora
