#pragma once
// The window system the program runs on. The skinned windows place
// themselves, shape themselves and set their own opacity, which X11 allows
// and a Wayland compositor does not; a Wayland session runs us through
// XWayland instead.

namespace velmora {

// Call before the QApplication is made: sets QT_QPA_PLATFORM to "xcb" when
// DISPLAY is set and QT_QPA_PLATFORM is not given. Returns true when it set
// the variable.
bool chooseWindowPlatform();

}  // namespace velmora
