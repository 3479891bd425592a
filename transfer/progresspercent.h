#pragma once

#include <cstdint>

namespace kivora {

// The ceiling of count / total x 100 as an extended-precision machine (64-bit significand,
// round to nearest, ties to even) computes it: the quotient is rounded first, then the
// product, then the ceiling is taken and saturated to the 32-bit range. Done in integers, so
// every CPU gives the same answer for every pair of 64-bit counts, where a double would not
// (counts above 2^53 do not convert exactly, and the roundings land elsewhere).
// A zero total answers the saturated sign of the count, and 0 for a zero count.
std::int32_t progressPercent(std::int64_t count, std::int64_t total);

} // namespace kivora
