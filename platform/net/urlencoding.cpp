#include "platform/net/urlencoding.h"

#include "platform/text/asciitext.h"
#include "platform/text/percentencoding.h"

namespace kivora {

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHostCharacter(char c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == ':' || c == '['
        || c == ']';
}

} // namespace

std::optional<std::string> wireAddress(std::u16string_view url)
{
    const std::optional<std::string> utf8 = utf16ToUtf8(url);
    if (!utf8)
        return std::nullopt;
    const std::string_view text = *utf8;

    std::string_view scheme;
    for (const std::string_view known : {std::string_view("http://"), std::string_view("https://")}) {
        if (startsWithIgnoringCase(text, known))
            scheme = known;
    }
    if (scheme.empty())
        return std::nullopt;

    const std::string_view rest = text.substr(scheme.size());
    const std::size_t hostEnd = rest.find_first_of("/?");
    const std::string_view host = rest.substr(0, hostEnd);
    if (host.empty())
        return std::nullopt;
    for (const char c : host) {
        if (!isHostCharacter(c))
            return std::nullopt;
    }

    std::string out(scheme);
    out += host;
    const std::string_view target = hostEnd == std::string_view::npos ? std::string_view() : rest.substr(hostEnd);
    const std::size_t queryStart = target.find('?');
    const std::string_view path = target.substr(0, queryStart);
    if (path.empty())
        out += '/';
    appendPercentEncoded(out, path, plainTextPath);
    if (queryStart != std::string_view::npos) {
        out += '?';
        appendPercentEncoded(out, target.substr(queryStart + 1), plainTextQuery);
    }
    return out;
}

} // namespace kivora
