#include "platform/net/httpdate.h"

#include <array>

namespace kivora {

namespace {

// Reads `count` digits at `at`, moving past them.
std::optional<int> digits(std::string_view text, std::size_t &at, std::size_t count)
{
    if (at + count > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    at += count;
    return value;
}

bool literal(std::string_view text, std::size_t &at, std::string_view expected)
{
    if (text.substr(at, expected.size()) != expected)
        return false;
    at += expected.size();
    return true;
}

std::optional<int> month(std::string_view text, std::size_t &at)
{
    static constexpr std::array<std::string_view, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (literal(text, at, names[i]))
            return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

struct Clock
{
    int hour = 0;
    int minute = 0;
    int second = 0;
};

std::optional<Clock> timeOfDay(std::string_view text, std::size_t &at)
{
    Clock clock;
    const auto hour = digits(text, at, 2);
    if (!hour || !literal(text, at, ":"))
        return std::nullopt;
    const auto minute = digits(text, at, 2);
    if (!minute || !literal(text, at, ":"))
        return std::nullopt;
    const auto second = digits(text, at, 2);
    if (!second || *hour > 23 || *minute > 59 || *second > 60)
        return std::nullopt;
    return Clock{*hour, *minute, *second};
}

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's days_from_civil).
std::int64_t daysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<std::int64_t> seconds(std::int64_t year, int month, int day, const Clock &clock)
{
    if (day < 1 || day > 31)
        return std::nullopt;
    return daysFromCivil(year, month, day) * 86400 + clock.hour * 3600 + clock.minute * 60 + clock.second;
}

} // namespace

std::optional<std::int64_t> parseHttpDate(std::string_view text)
{
    const std::size_t comma = text.find(',');
    std::size_t at = 0;
    if (comma != std::string_view::npos) {
        at = comma + 1;
        if (!literal(text, at, " "))
            return std::nullopt;
        const auto day = digits(text, at, 2);
        if (!day)
            return std::nullopt;
        const bool imf = literal(text, at, " ");
        if (!imf && !literal(text, at, "-"))
            return std::nullopt;
        const auto mon = month(text, at);
        if (!mon || !literal(text, at, imf ? " " : "-"))
            return std::nullopt;
        std::optional<int> year = digits(text, at, imf ? 4 : 2);
        if (!year || !literal(text, at, " "))
            return std::nullopt;
        // RFC 850's two-digit year, read as the years around 1970 to 2069.
        if (!imf)
            *year += *year < 70 ? 2000 : 1900;
        const auto clock = timeOfDay(text, at);
        if (!clock || !literal(text, at, " GMT") || at != text.size())
            return std::nullopt;
        return seconds(*year, *mon, *day, *clock);
    }
    // asctime: "Sun Nov  6 08:49:37 1994", a one-digit day after two spaces.
    at = 3;
    if (text.size() < 3 || !literal(text, at, " "))
        return std::nullopt;
    const auto mon = month(text, at);
    if (!mon || !literal(text, at, " "))
        return std::nullopt;
    std::optional<int> day;
    if (at < text.size() && text[at] == ' ') {
        ++at;
        day = digits(text, at, 1);
    } else {
        day = digits(text, at, 2);
    }
    if (!day || !literal(text, at, " "))
        return std::nullopt;
    const auto clock = timeOfDay(text, at);
    if (!clock || !literal(text, at, " "))
        return std::nullopt;
    const auto year = digits(text, at, 4);
    if (!year || at != text.size())
        return std::nullopt;
    return seconds(*year, *mon, *day, *clock);
}

} // namespace kivora
