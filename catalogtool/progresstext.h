#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kivora::catalogtool {

// Where a fetch stands.
struct FetchStanding
{
    std::size_t titlesDone = 0; // present, fetched or failed
    std::size_t titlesTotal = 0;
    std::uint64_t bytes = 0; // received by this run
    std::chrono::milliseconds elapsed{0};
    std::optional<std::chrono::seconds> timeLeft;
};

// "1.5 kB", "23.4 MB": decimal units, one decimal from kB on.
std::string formatBytes(std::uint64_t bytes);

// "0:07", "12:34", "1:02:03".
std::string formatDuration(std::chrono::seconds duration);

// "12/300 titles, 35.2 MB, 4.1 MB/s, 1:10 left"; "--:--" while the time left is unknown.
std::string formatStanding(const FetchStanding &standing);

// Time left from what this run has done so far: the titles still to fetch are taken to be
// as large as those fetched, and to arrive at the rate seen so far. Nothing before a title
// has been fetched.
std::optional<std::chrono::seconds> estimateTimeLeft(std::uint64_t bytes, std::chrono::milliseconds elapsed,
                                                     std::uint64_t fetchedBytes, std::size_t fetchedTitles,
                                                     std::size_t titlesToGo);

} // namespace kivora::catalogtool
