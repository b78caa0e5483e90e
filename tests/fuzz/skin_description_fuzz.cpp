// Skin descriptions from any skin.ini bytes: parsing never fails, and what
// it yields stays within what the windows can take.

#include "settings/profile_document.h"
#include "skin/skin_description.h"

#include <cstdint>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const SkinDescription skin = parseSkinDescription(ProfileDocument::fromBytes(bytes), QStringLiteral("/skin/"));
    (void)skin;
    return 0;
}
