#include "catalogtool/progresstext.h"

#include <cstdio>

namespace kivora::catalogtool {

std::string formatBytes(std::uint64_t bytes)
{
    if (bytes < 1000)
        return std::to_string(bytes) + " B";
    static constexpr const char *units[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    // 999.95 would print as "1000.0": move on to the next unit before that.
    while (value >= 999.95 && unit + 1 < std::size(units)) {
        value /= 1000.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string formatDuration(std::chrono::seconds duration)
{
    const long long total = duration.count() < 0 ? 0 : duration.count();
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long seconds = total % 60;
    char text[48];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    return text;
}

std::string formatStanding(const FetchStanding &standing)
{
    std::string text = std::to_string(standing.titlesDone) + "/" + std::to_string(standing.titlesTotal) + " titles, "
                       + formatBytes(standing.bytes) + ", ";
    const double seconds = static_cast<double>(standing.elapsed.count()) / 1000.0;
    text += seconds > 0 ? formatBytes(static_cast<std::uint64_t>(static_cast<double>(standing.bytes) / seconds))
                        : formatBytes(0);
    text += "/s, ";
    text += standing.timeLeft ? formatDuration(*standing.timeLeft) : std::string("--:--");
    text += " left";
    return text;
}

std::optional<std::chrono::seconds> estimateTimeLeft(std::uint64_t bytes, std::chrono::milliseconds elapsed,
                                                     std::uint64_t fetchedBytes, std::size_t fetchedTitles,
                                                     std::size_t titlesToGo)
{
    if (titlesToGo == 0)
        return std::chrono::seconds(0);
    if (fetchedTitles == 0 || bytes == 0 || elapsed.count() <= 0)
        return std::nullopt;
    const double perTitle = static_cast<double>(fetchedBytes) / static_cast<double>(fetchedTitles);
    // What has arrived of the titles under way counts as done.
    const double remaining = perTitle * static_cast<double>(titlesToGo) - static_cast<double>(bytes - fetchedBytes);
    const double rate = static_cast<double>(bytes) / static_cast<double>(elapsed.count()) * 1000.0;
    const double seconds = remaining > 0 ? remaining / rate : 0.0;
    return std::chrono::seconds(static_cast<long long>(seconds + 0.5));
}

} // namespace kivora::catalogtool
