#include "urlencoding.h"

namespace kivora {

std::optional<std::string> utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isUnreserved(char c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

// Characters kept as they are in a path: unreserved, the sub-delimiters except the
// apostrophe, ':', '@' and '/'. A query keeps '?' as well.
bool keptInPath(char c)
{
    static constexpr std::string_view kept = "!$&()*+,;=:@/";
    return isUnreserved(c) || kept.find(c) != std::string_view::npos;
}

bool isHostCharacter(char c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == '-' || c == '.' || c == '_' || c == ':' || c == '['
        || c == ']';
}

void appendEncoded(std::string &out, std::string_view bytes, bool query)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        if (keptInPath(c) || (query && c == '?')) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
}

} // namespace

std::optional<std::string> wireAddress(std::u16string_view url)
{
    const std::optional<std::string> utf8 = utf16ToUtf8(url);
    if (!utf8)
        return std::nullopt;
    const std::string_view text = *utf8;

    static constexpr std::string_view scheme = "http://";
    if (text.size() < scheme.size())
        return std::nullopt;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char c = text[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != scheme[i])
            return std::nullopt;
    }

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
    appendEncoded(out, path, false);
    if (queryStart != std::string_view::npos) {
        out += '?';
        appendEncoded(out, target.substr(queryStart + 1), true);
    }
    return out;
}

} // namespace kivora
