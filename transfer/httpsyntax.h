#pragma once

#include "platform/text/asciitext.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

// Character classes and line scanning shared by the response parsers.
namespace kivora::httpsyntax {

inline constexpr std::size_t kMaxLineLength = 8192;

inline bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Visible characters, obs-text, space and tab; no control characters (CR, LF and NUL among them).
inline bool isFieldChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u == '\t' || (u >= 0x20 && u != 0x7f);
}

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

using kivora::containsIgnoringCase;
using kivora::equalsIgnoringCase;

inline std::string_view trimBlanks(std::string_view s) { return trimmed(s, kBlanks); }

enum class LineStatus { Found, NeedMore, TooLong };

struct Line
{
    LineStatus status = LineStatus::NeedMore;
    std::string_view text;  // without the line end
    std::size_t length = 0; // with the line end
};

// Finds the line at the start of `input`, ended by CR LF or a bare LF. A line whose text
// exceeds `maxLength` is TooLong as soon as that is certain, so callers never buffer more.
inline Line scanLine(std::string_view input, std::size_t maxLength)
{
    const std::size_t window = std::min(input.size(), maxLength + 2);
    const std::size_t lf = input.substr(0, window).find('\n');
    if (lf == std::string_view::npos)
        return {input.size() >= maxLength + 2 ? LineStatus::TooLong : LineStatus::NeedMore, {}, 0};
    std::string_view text = input.substr(0, lf);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (text.size() > maxLength)
        return {LineStatus::TooLong, {}, 0};
    return {LineStatus::Found, text, lf + 1};
}

// "name: value" with a token name, no blank before the colon and no control characters.
inline bool splitField(std::string_view line, std::string_view &name, std::string_view &value)
{
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return false;
    name = line.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), isTokenChar))
        return false;
    value = line.substr(colon + 1);
    if (!std::all_of(value.begin(), value.end(), isFieldChar))
        return false;
    value = trimBlanks(value);
    return true;
}

} // namespace kivora::httpsyntax
