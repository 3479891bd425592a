#include "platform/text/percentencoding.h"

namespace kivora {

namespace {

bool isAsciiAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isUnreserved(char c)
{
    return isAsciiAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

} // namespace

void appendPercentEncoded(std::string &out, std::string_view bytes, const PercentEncodingRule &rule)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    out.reserve(out.size() + bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool escape = rule.keepEscapes && c == '%' && i + 2 < bytes.size() && isHexDigit(bytes[i + 1])
            && isHexDigit(bytes[i + 2]);
        if (isUnreserved(c) || rule.kept.find(c) != std::string_view::npos || escape) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
}

} // namespace kivora
