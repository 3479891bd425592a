#include "transfer/bodyframing.h"

#include "transfer/httpresponsehead.h"
#include "transfer/httpsyntax.h"

#include <limits>
#include <optional>
#include <string_view>

namespace kivora {

using namespace httpsyntax;

namespace {

std::optional<std::int64_t> parseLength(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

BodyFraming bodyFramingOf(const HttpResponseHead &head)
{
    using Kind = BodyFraming::Kind;
    if (head.status < 200 || head.status == 204 || head.status == 304)
        return {Kind::None, 0};

    for (const HttpHeaderField &f : head.fields) {
        if (equalsIgnoringCase(f.name, "Transfer-Encoding") && containsIgnoringCase(f.value, "chunked"))
            return {Kind::Chunked, 0};
    }

    // Repeated Content-Length fields (or a list in one field) must all agree.
    std::optional<std::int64_t> length;
    for (const HttpHeaderField &f : head.fields) {
        if (!equalsIgnoringCase(f.name, "Content-Length"))
            continue;
        std::string_view rest = f.value;
        for (;;) {
            const std::size_t comma = rest.find(',');
            const std::optional<std::int64_t> value = parseLength(rest.substr(0, comma));
            if (!value || (length && *length != *value))
                return {Kind::Invalid, 0};
            length = value;
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
    }
    if (length)
        return {Kind::Length, *length};
    return {Kind::UntilClose, 0};
}

} // namespace kivora
