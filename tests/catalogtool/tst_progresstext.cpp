#include "catalogtool/progresstext.h"

#include <gtest/gtest.h>

namespace kivora::catalogtool {
namespace {

using namespace std::chrono_literals;

TEST(ProgressTextTest, BytesInDecimalUnits)
{
    const std::pair<std::uint64_t, const char *> cases[] = {
        {0, "0 B"},          {999, "999 B"},          {1000, "1.0 kB"},         {1550, "1.6 kB"},
        {999949, "999.9 kB"}, {999950, "1.0 MB"},     {35'200'000, "35.2 MB"}, {2'500'000'000, "2.5 GB"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(formatBytes(bytes), text) << bytes;
}

TEST(ProgressTextTest, Durations)
{
    const std::pair<std::chrono::seconds, const char *> cases[] = {
        {0s, "0:00"}, {7s, "0:07"}, {754s, "12:34"}, {3723s, "1:02:03"}, {-5s, "0:00"},
    };
    for (const auto &[duration, text] : cases)
        EXPECT_EQ(formatDuration(duration), text) << duration.count();
}

TEST(ProgressTextTest, StandingLine)
{
    FetchStanding standing{12, 300, 35'200'000, 8800ms, 70s};
    EXPECT_EQ(formatStanding(standing), "12/300 titles, 35.2 MB, 4.0 MB/s, 1:10 left");
    standing.timeLeft.reset();
    standing.elapsed = 0ms;
    EXPECT_EQ(formatStanding(standing), "12/300 titles, 35.2 MB, 0 B/s, --:-- left");
}

TEST(ProgressTextTest, TimeLeftFromTheTitlesFetchedSoFar)
{
    // Unknown before a title is through; nothing left once all are.
    EXPECT_FALSE(estimateTimeLeft(5000, 1000ms, 0, 0, 10));
    EXPECT_EQ(estimateTimeLeft(5000, 1000ms, 5000, 1, 0), 0s);
    // 1 MB titles at 1 MB/s, 10 to go.
    EXPECT_EQ(estimateTimeLeft(2'000'000, 2000ms, 2'000'000, 2, 10), 10s);
    // What the titles under way have received counts as done.
    EXPECT_EQ(estimateTimeLeft(3'000'000, 3000ms, 2'000'000, 2, 10), 9s);
}

} // namespace
} // namespace kivora::catalogtool
