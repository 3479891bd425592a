#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kivora {

// Seconds since 1970 (UTC) of an HTTP date in any of its three forms (RFC 9110 §5.6.7):
// "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT" or
// "Sun Nov  6 08:49:37 1994". None for anything else. A pure function of its text.
std::optional<std::int64_t> parseHttpDate(std::string_view text);

} // namespace kivora
