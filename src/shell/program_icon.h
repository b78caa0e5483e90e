#pragma once
// The program's icon: the tray icon and the windows' icon.

#include <QIcon>
#include <QImage>

namespace velmora {

// Drawn in the default skin's colours (a rounded dark tile with an amber
// play sign), at the sizes panels and window lists ask for.
QIcon programIcon();
// One size of it, drawn for that size (the installed theme icons too).
QImage drawProgramIcon(int size);

}  // namespace velmora
