#include "transfer/progresspercent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace kivora {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t k2To53 = std::int64_t{1} << 53;

struct PercentCase
{
    std::int64_t count;
    std::int64_t total;
    std::int32_t percent;
};

void PrintTo(const PercentCase &c, std::ostream *out) { *out << c.count << " of " << c.total; }

class ProgressPercentTest : public testing::TestWithParam<PercentCase> {};

TEST_P(ProgressPercentTest, RoundsLikeExtendedPrecision)
{
    const PercentCase &c = GetParam();
    EXPECT_EQ(progressPercent(c.count, c.total), c.percent);
}

// Whole products that land just above the whole number, and the blocks of a download.
INSTANTIATE_TEST_SUITE_P(Ordinary, ProgressPercentTest, testing::Values(
    PercentCase{300, 1000, 31}, PercentCase{15, 100, 16}, PercentCase{500, 1000, 50}, PercentCase{7, 100, 7},
    PercentCase{1, 1000, 1}, PercentCase{333, 1000, 34}, PercentCase{991, 1000, 100}, PercentCase{1000, 1000, 100},
    PercentCase{0, 1000, 0}, PercentCase{32768, 100000, 33}, PercentCase{65536, 100000, 66},
    PercentCase{98304, 100000, 99}, PercentCase{9900001, 10000000, 100}));

// Where a double computes another percentage: its quotient is rounded to 53 bits, and
// counts above 2^53 do not even convert exactly.
INSTANTIATE_TEST_SUITE_P(WhereDoubleDiffers, ProgressPercentTest, testing::Values(
    PercentCase{3, 10, 31}, PercentCase{3, 5, 61}, PercentCase{11, 20, 55},
    PercentCase{1261007895663739, k2To53 + 1, 14},
    PercentCase{92233720368547759, kMax, 2},
    PercentCase{kMax / 2 + 1, kMax, 51},
    PercentCase{kMax, kMax - 1, 101}));

INSTANTIATE_TEST_SUITE_P(Near2To53And2To63, ProgressPercentTest, testing::Values(
    PercentCase{k2To53 - 1, k2To53, 100}, PercentCase{k2To53, k2To53 + 1, 100},
    PercentCase{k2To53 + 1, k2To53 + 2, 100}, PercentCase{k2To53 / 2 + 1, k2To53 + 1, 51},
    PercentCase{1, kMax, 1}, PercentCase{0, kMax, 0}, PercentCase{kMax - 1, kMax, 100}, PercentCase{kMax, kMax, 100},
    PercentCase{kMax / 100 * 99, kMax, 99}, PercentCase{kMax / 100 * 99 + kMax / 1000, kMax, 100}));

// More received than announced, up to the end of the 32-bit range and past it.
INSTANTIATE_TEST_SUITE_P(CountAboveTotal, ProgressPercentTest, testing::Values(
    PercentCase{3, 2, 150}, PercentCase{21474836, 1, 2147483600}, PercentCase{21474837, 1, 2147483647},
    PercentCase{kMax, 1, 2147483647}));

// Negative counts or totals never come from the client, but are still answered soundly:
// the ceiling of a negative product, saturated at the bottom of the range.
INSTANTIATE_TEST_SUITE_P(Signs, ProgressPercentTest, testing::Values(
    PercentCase{-1, 1000, 0}, PercentCase{-300, 1000, -30}, PercentCase{-1, kMax, 0}, PercentCase{kMin, kMax, -100},
    PercentCase{kMin, kMin, 100}, PercentCase{kMax, kMin, -99}, PercentCase{1, kMin, 0},
    PercentCase{-21474836, 1, -2147483600}, PercentCase{-21474836, -1, 2147483600},
    PercentCase{-21474837, 1, -2147483647 - 1}, PercentCase{kMin, 1, -2147483647 - 1}));

INSTANTIATE_TEST_SUITE_P(ZeroTotal, ProgressPercentTest, testing::Values(
    PercentCase{5, 0, 2147483647}, PercentCase{-5, 0, -2147483647 - 1}, PercentCase{0, 0, 0}));

// Where the CPU has the extended type itself, it must agree with it everywhere: around
// powers of two, around every whole percentage, and at random.
TEST(ProgressPercentHardwareTest, AgreesWithTheExtendedType)
{
    if constexpr (std::numeric_limits<long double>::digits != 64) {
        GTEST_SKIP() << "no 64-bit significand long double on this CPU";
    } else {
        const auto extended = [](std::int64_t count, std::int64_t total) {
            const long double product = static_cast<long double>(count) / static_cast<long double>(total) * 100.0L;
            constexpr long double low = std::numeric_limits<std::int32_t>::min();
            constexpr long double high = std::numeric_limits<std::int32_t>::max();
            return static_cast<std::int32_t>(std::clamp(std::ceil(product), low, high));
        };
        std::mt19937_64 random(13);
        const auto nearPowerOfTwo = [&random] {
            const int exponent = int(random() % 63);
            return (std::int64_t{1} << exponent) - 2 + std::int64_t(random() % 5);
        };
        for (int i = 0; i < 200000; ++i) {
            const std::int64_t total = i % 2 ? std::max<std::int64_t>(1, nearPowerOfTwo())
                                             : std::int64_t(random() >> (1 + random() % 63)) + 1;
            const auto share = static_cast<__int128>(total) * (random() % 101) / 100;
            const std::int64_t count = i % 3 == 0 ? std::int64_t(random() >> 1)
                                                  : std::int64_t(share) - 1 + std::int64_t(random() % 3);
            ASSERT_EQ(progressPercent(count, total), extended(count, total)) << count << " of " << total;
        }
        for (std::int64_t total = 1; total <= 400; ++total) {
            for (std::int64_t count = -2; count <= 2 * total; ++count)
                ASSERT_EQ(progressPercent(count, total), extended(count, total)) << count << " of " << total;
        }
    }
}

} // namespace
} // namespace kivora
