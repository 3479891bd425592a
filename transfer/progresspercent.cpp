#include "transfer/progresspercent.h"

#include <bit>
#include <limits>

namespace kivora {

namespace {

using Wide = unsigned __int128;

constexpr int kSignificandBits = 64;

// A non-negative value significand x 2^exponent; the significand has at most 65 bits
// (2^64 is where rounding up a 64-bit significand lands).
struct Extended
{
    Wide significand = 0;
    int exponent = 0;
};

int bitLength(Wide value)
{
    const auto high = static_cast<std::uint64_t>(value >> 64);
    return high != 0 ? 128 - std::countl_zero(high) : 64 - std::countl_zero(static_cast<std::uint64_t>(value));
}

// Rounds significand x 2^exponent, plus a remainder below its last bit when `inexact`
// says so, to 64 significant bits, ties to even.
Extended roundToSignificand(Wide significand, int exponent, bool inexact)
{
    const int surplus = bitLength(significand) - kSignificandBits;
    if (surplus <= 0)
        return {significand, exponent};
    const Wide kept = significand >> surplus;
    const Wide dropped = significand & ((Wide{1} << surplus) - 1);
    const Wide half = Wide{1} << (surplus - 1);
    const bool up = dropped > half || (dropped == half && (inexact || (kept & 1) != 0));
    return {kept + (up ? 1 : 0), exponent + surplus};
}

// dividend / divisor rounded to 64 significant bits. Precondition: both are above 0.
Extended roundedQuotient(std::uint64_t dividend, std::uint64_t divisor)
{
    // Long division, one bit at a time, until 65 bits are known: 64 and the rounding
    // bit; whatever remains below them only breaks ties.
    Wide quotient = dividend / divisor;
    std::uint64_t remainder = dividend % divisor;
    int exponent = 0;
    while (bitLength(quotient) < kSignificandBits + 1) {
        // remainder < divisor <= 2^63, so doubling it cannot overflow.
        remainder <<= 1;
        quotient <<= 1;
        if (remainder >= divisor) {
            remainder -= divisor;
            quotient |= 1;
        }
        --exponent;
    }
    return roundToSignificand(quotient, exponent, remainder != 0);
}

// The whole part of a value, and whether anything lies below it. Saturates far above
// the 32-bit range.
struct WholePart
{
    Wide whole = 0;
    bool fraction = false;
};

WholePart wholePart(Extended value)
{
    if (value.exponent >= 0) {
        if (value.exponent >= 32)
            return {Wide{1} << 64, false};
        return {value.significand << value.exponent, false};
    }
    const int shift = -value.exponent;
    if (shift >= 128)
        return {0, value.significand != 0};
    return {value.significand >> shift, (value.significand & ((Wide{1} << shift) - 1)) != 0};
}

std::uint64_t magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

} // namespace

std::int32_t progressPercent(std::int64_t count, std::int64_t total)
{
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (count == 0)
        return 0;
    const bool negative = (count < 0) != (total < 0);
    if (total == 0)
        return static_cast<std::int32_t>(negative ? low : high);

    const Extended quotient = roundedQuotient(magnitude(count), magnitude(total));
    const Extended product = roundToSignificand(quotient.significand * 100, quotient.exponent, false);
    const WholePart part = wholePart(product);
    // The ceiling of a negative value is minus the whole part of its magnitude.
    const Wide rounded = negative ? part.whole : part.whole + (part.fraction ? 1 : 0);
    const Wide limit = negative ? Wide{static_cast<std::uint64_t>(-low)} : Wide{static_cast<std::uint64_t>(high)};
    const std::int64_t bounded = static_cast<std::int64_t>(rounded > limit ? limit : rounded);
    return static_cast<std::int32_t>(negative ? -bounded : bounded);
}

} // namespace kivora
