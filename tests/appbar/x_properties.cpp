#include "x_properties.h"

#include <cstdlib>
#include <cstring>

namespace velmora::test {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : 0;
    std::free(r);
    return a;
}

std::vector<uint32_t> property32(xcb_connection_t* c, xcb_window_t w, const char* name)
{
    std::vector<uint32_t> values;
    auto* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, internAtom(c, name), XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return values;
}

}  // namespace velmora::test
