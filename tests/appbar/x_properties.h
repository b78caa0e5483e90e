#pragma once
// Reading an X server's atoms and 32-bit window properties, for the tests
// that look at the toolbar's window as the window manager sees it.

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

namespace velmora::test {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name);
// The values of a 32-bit property (atoms, windows, cardinals); empty when
// the window has none.
std::vector<uint32_t> property32(xcb_connection_t* c, xcb_window_t w, const char* name);

}  // namespace velmora::test
