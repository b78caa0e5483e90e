#include "app/font_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace velmora {

FontWarmUp::FontWarmUp() : worker_([] { FcInit(); }) {}

FontWarmUp::~FontWarmUp() { worker_.join(); }

}  // namespace velmora
