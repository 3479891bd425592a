#pragma once

#include "platform/text/utf.h"

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// The address as it goes on the wire: "http://" or "https://" + host[:port] + path[?query], with every
// byte of the UTF-8 path and query that is not an unreserved character or a delimiter
// written as %XX. The address is plain text, never pre-encoded, so '%' is encoded like
// any other byte; '#' belongs to the text too (a fragment is never sent). The apostrophe
// is encoded although a path may carry it, as some servers mishandle it.
// Nothing when the address is not http or https (scheme case ignored), has no host, has a host
// with characters outside letters, digits, "-._:[]", or is not valid UTF-16.
std::optional<std::string> wireAddress(std::u16string_view url);

} // namespace kivora
