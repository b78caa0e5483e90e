#pragma once
// Which libmpv picture outputs the engine tries, in order.

#include <QByteArray>
#include <QString>

namespace velmora {

// libmpv's "vo" list for a player drawing into a host window (its own list
// ends in SDL, which opens a window of its own). The GPU output comes first
// only when the machine has a DRM render node the user may open: without
// one, OpenGL would be Mesa's software renderer, which libmpv refuses after
// loading it, leaving some 50 MB of driver and LLVM in the process for
// nothing. Then XVideo, then plain X11 images.
QByteArray defaultVideoOutputs(const QString& driFolder = QStringLiteral("/dev/dri"));

}  // namespace velmora
