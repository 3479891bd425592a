#include "platform/net/responseheaders.h"

#include "platform/net/httpdate.h"
#include "platform/text/asciitext.h"

#include <charconv>

namespace kivora {

namespace {

// libcurl hands over header lines with their line end.
constexpr std::string_view kLineBlanks = " \t\r\n";

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
    value = trimmed(value, kLineBlanks);
    constexpr std::string_view unit = "bytes ";
    if (value.size() < unit.size() || !equalsIgnoringCase(value.substr(0, unit.size()), unit))
        return std::nullopt;
    value = trimmed(value.substr(unit.size()), kLineBlanks);
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
    const std::string_view name = trimmed(line.substr(0, colon), kLineBlanks);
    const std::string value(trimmed(line.substr(colon + 1), kLineBlanks));
    if (equalsIgnoringCase(name, "ETag"))
        m_etag = value;
    else if (equalsIgnoringCase(name, "Last-Modified"))
        m_lastModified = value;
    else if (equalsIgnoringCase(name, "Date"))
        m_date = value;
    else if (equalsIgnoringCase(name, "Content-Range"))
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
