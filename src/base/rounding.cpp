#include "base/rounding.h"

#include <cmath>
#include <limits>

namespace velmora {

double roundHalfEvenF(double value)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? 0.0 : value;
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    // Exactly half way: take the even neighbour.
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::int32_t roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = roundHalfEvenF(value);
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (r <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (r >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

}  // namespace velmora
