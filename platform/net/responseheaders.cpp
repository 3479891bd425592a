#include "platform/net/responseheaders.h"

#include "platform/net/httpdate.h"

#include <charconv>

namespace kivora {

namespace {

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<std::uint64_t> number(std::string_view digits)
{
    std::uint64_t value = 0;
    const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || rest != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ContentRange> parseContentRange(std::string_view value)
{
    value = trimmed(value);
    constexpr std::string_view unit = "bytes ";
    if (value.size() < unit.size() || !sameName(value.substr(0, unit.size()), unit))
        return std::nullopt;
    value = trimmed(value.substr(unit.size()));
    const std::size_t dash = value.find('-');
    const std::size_t slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash)
        return std::nullopt;
    const auto first = number(value.substr(0, dash));
    const auto last = number(value.substr(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    ContentRange range{*first, *last, std::nullopt};
    const std::string_view total = value.substr(slash + 1);
    if (total != "*") {
        range.total = number(total);
        if (!range.total || *range.total <= *last)
            return std::nullopt;
    }
    return range;
}

void ResponseHeaders::addLine(std::string_view line)
{
    if (line.starts_with("HTTP/")) {
        *this = ResponseHeaders();
        return;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return;
    const std::string_view name = trimmed(line.substr(0, colon));
    const std::string value(trimmed(line.substr(colon + 1)));
    if (sameName(name, "ETag"))
        m_etag = value;
    else if (sameName(name, "Last-Modified"))
        m_lastModified = value;
    else if (sameName(name, "Date"))
        m_date = value;
    else if (sameName(name, "Content-Range"))
        m_contentRange = value;
}

std::string ResponseHeaders::validator() const
{
    if (!m_etag.empty() && !m_etag.starts_with("W/"))
        return m_etag;
    const std::optional<std::int64_t> modified = parseHttpDate(m_lastModified);
    const std::optional<std::int64_t> sent = parseHttpDate(m_date);
    if (modified && sent && *sent - *modified >= 1)
        return m_lastModified;
    return {};
}

bool ResponseHeaders::contradicts(const std::string &kept) const
{
    // Entity tags are quoted; dates never are.
    const std::string &answered = kept.starts_with('"') ? m_etag : m_lastModified;
    return !answered.empty() && answered != kept;
}

} // namespace kivora
