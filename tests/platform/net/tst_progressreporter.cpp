#include "platform/core/bindstatuscodes.h"
#include "tests/support/progresscollector.h"
#include "platform/net/progressreporter.h"

#include <gtest/gtest.h>

#include <array>

namespace kivora {
namespace {

using test::ProgressReport;

constexpr std::uint64_t GiB = 1024ull * 1024 * 1024;

struct Arrival
{
    std::uint64_t bytes;
    std::uint64_t total;
};

struct ReporterCase
{
    const char *name;
    std::vector<Arrival> arrivals;
    std::uint64_t finished; // 0: the transfer fails after the arrivals
    std::vector<std::array<std::uint32_t, 3>> expected; // progress, total, status
};

class ProgressReporterCases : public ::testing::TestWithParam<ReporterCase>
{
};

TEST_P(ProgressReporterCases, ReportsTheExpectedSequence)
{
    const ReporterCase &c = GetParam();
    test::ProgressCollector collector;
    ProgressReporter reporter(&collector, 100);
    reporter.started(u"address");
    for (const Arrival &arrival : c.arrivals)
        reporter.received(arrival.bytes, arrival.total);
    if (c.finished)
        reporter.finished(c.finished);

    std::vector<std::array<std::uint32_t, 3>> actual;
    for (const ProgressReport &report : collector.reports())
        actual.push_back({report.progress, report.total, report.status});
    EXPECT_EQ(actual, c.expected);
}

constexpr std::uint32_t find = BINDSTATUS_FINDINGRESOURCE;
constexpr std::uint32_t begin = BINDSTATUS_BEGINDOWNLOADDATA;
constexpr std::uint32_t data = BINDSTATUS_DOWNLOADINGDATA;
constexpr std::uint32_t end = BINDSTATUS_ENDDOWNLOADDATA;

INSTANTIATE_TEST_SUITE_P(
    Transfers, ProgressReporterCases,
    ::testing::Values(
        ReporterCase{"smallStepsAreSkipped",
                     {{10, 100000}, {50, 100000}, {110, 100000}, {250, 100000}, {100000, 100000}},
                     100000,
                     {{0, 0, find}, {10, 100000, begin}, {110, 100000, data}, {250, 100000, data}, {100000, 100000, end}}},
        ReporterCase{"smallFileStillMovesInPercents",
                     {{2, 500}, {5, 500}, {7, 500}, {12, 500}},
                     500,
                     {{0, 0, find}, {2, 500, begin}, {7, 500, data}, {12, 500, data}, {500, 500, end}}},
        ReporterCase{"onlyCompletionClaimsTheWhole",
                     {{1000, 1000}},
                     1000,
                     {{0, 0, find}, {1000, 1000, end}}},
        ReporterCase{"failureAfterTheLastByteClaimsNothing",
                     {{500, 1000}, {1000, 1000}},
                     0,
                     {{0, 0, find}, {500, 1000, begin}}},
        ReporterCase{"unknownLengthEndsWithBytesAsTotal",
                     {{300, 0}, {700, 0}},
                     700,
                     {{0, 0, find}, {300, 0, begin}, {700, 0, data}, {700, 700, end}}},
        ReporterCase{"stepGrowsWithTheTotal",
                     {{1000, 1000000}, {1500, 1000000}, {2000, 1000000}},
                     0,
                     {{0, 0, find}, {1000, 1000000, begin}, {2000, 1000000, data}}},
        ReporterCase{"countsBeyond32BitsKeepTheirRatio",
                     {{3 * GiB, 6 * GiB}},
                     6 * GiB,
                     {{0, 0, find},
                      {static_cast<std::uint32_t>(3 * GiB / 2), static_cast<std::uint32_t>(6 * GiB / 2), begin},
                      {static_cast<std::uint32_t>(6 * GiB / 2), static_cast<std::uint32_t>(6 * GiB / 2), end}}}),
    [](const ::testing::TestParamInfo<ReporterCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace kivora
