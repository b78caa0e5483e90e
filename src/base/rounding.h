#pragma once
// Rounding and unit helpers shared by every subsystem.
//
// Every conversion of a fractional value to a whole number in the program
// rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Results are clamped to the target range; NaN gives 0.

#include <cstdint>

namespace velmora {

// Nearest whole number, halves to even, as a double (no range clamp).
double roundHalfEvenF(double value);

// Nearest 32-bit integer, halves to even, clamped to the int32 range.
std::int32_t roundHalfEven(double value);

}  // namespace velmora
