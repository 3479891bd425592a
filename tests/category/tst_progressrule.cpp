#include "category/progressrule.h"

#include <gtest/gtest.h>

#include <limits>

namespace kivora {
namespace {

struct RuleCase
{
    const char *name;
    std::int32_t before;
    std::uint32_t progress;
    std::uint32_t total;
    std::uint32_t status;
    std::int32_t after;
};

constexpr std::uint32_t downloading = 5;
constexpr std::uint32_t most = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t saturated = std::numeric_limits<std::int32_t>::max();

class ProgressRule : public ::testing::TestWithParam<RuleCase>
{
};

TEST_P(ProgressRule, GivesTheNewDownloadProgress)
{
    const RuleCase &c = GetParam();
    EXPECT_EQ(nextDownloadProgress(c.before, c.progress, c.total, c.status), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ProgressRule,
    ::testing::Values(RuleCase{"roundsDown", 0, 985, 1000, downloading, 98},
                      RuleCase{"roundsUpToAHundred", 0, 995, 1000, downloading, 100},
                      RuleCase{"oneThird", 0, 1, 3, downloading, 33},
                      RuleCase{"twoThirds", 0, 2, 3, downloading, 67},
                      RuleCase{"beyond32BitProduct", 0, 60'000'000, 120'000'000, downloading, 50},
                      RuleCase{"halfGoesToEvenBelow", 0, 1, 8, downloading, 12},
                      RuleCase{"halfGoesToEvenAbove", 0, 3, 8, downloading, 38},
                      RuleCase{"halfOfAHugeTotal", 0, 1, 200, downloading, 0},
                      RuleCase{"threeHalvesOfAHugeTotal", 0, 3, 200, downloading, 2},
                      RuleCase{"startWithoutTotalResets", 100, 0, 0, 1, 0},
                      RuleCase{"noTotalKeepsTheValue", 42, 1234, 0, downloading, 42},
                      RuleCase{"noTotalKeepsAHundred", 100, 0, 0, downloading, 100},
                      RuleCase{"startWithATotalTakesTheTotal", 77, 1, 4, 1, 25},
                      RuleCase{"aboveTheTotal", 0, 1500, 1000, downloading, 150},
                      RuleCase{"largestCounts", 0, most, most, downloading, 100},
                      RuleCase{"almostAllOfTheLargestTotal", 0, most - 1, most, downloading, 100},
                      RuleCase{"largestCountOverOne", 0, most, 1, downloading, saturated},
                      RuleCase{"nothingOfTheLargestTotal", 63, 0, most, downloading, 0}),
    [](const ::testing::TestParamInfo<RuleCase> &info) { return std::string(info.param.name); });

TEST(ProgressRuleBar, ClampsToTheBarRange)
{
    const std::vector<std::pair<std::int32_t, int>> cases = {
        {0, 0}, {57, 57}, {100, 100}, {150, 100}, {saturated, 100}, {-1, 0},
    };
    for (const auto &[value, position] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(clampToBar(value), position);
    }
}

} // namespace
} // namespace kivora
