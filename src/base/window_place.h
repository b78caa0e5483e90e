#pragma once
// The place of a framed top-level window (the options dialog, the add-files
// window, the video window) as stored in the settings: the top-left corner
// of its frame, title bar included, as pos() reports it, in Qt's
// device-independent pixels.
//
// A window not yet framed by the window manager is put by move() with its
// client area at the place (Qt cannot know the frame yet), so its title bar
// went above the screen and every open moved it one frame further up and
// left. placeFrame() puts it again, frame at the place, as soon as the
// window is on the screen and its frame is known. UI thread only.

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace velmora {

// Puts the frame at a stored place, moved where needed so that its title
// bar lies on a screen; corrected once the window is first exposed.
void placeFrame(QWidget& window, QPoint place);

// Pure: the place for a frame of `width` stored at `place` so that its top
// edge lies on one of the screens' available areas and at least a grip's
// width of its title bar is on that screen; the place itself when it
// already is. No screens: the place as it is.
QPoint titleBarOnScreen(QPoint place, int width, const QList<QRect>& available);

}  // namespace velmora
