#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kivora {

// An absolute http address, split into what the client needs.
struct HttpUrl
{
    std::string host;       // a name or an address; IPv6 literals without brackets
    bool hostIsIpv6 = false;
    std::uint16_t port = 80;
    std::string target;     // path and query, percent-encoded where needed, never empty

    // The value of the Host field: the host, with ":port" when the port is not 80.
    std::string hostField() const;
};

// Parses an absolute address given as UTF-8. Only the http scheme is accepted (any letter
// case); user information is refused; a fragment is dropped. Characters that may not
// appear in a request line are percent-encoded byte by byte; existing %XX escapes stay.
// On failure answers false and says why in `error`.
bool parseHttpUrl(std::string_view text, HttpUrl &url, std::string &error);

// The whole GET request for `url`, exactly as sent.
std::string buildGetRequest(const HttpUrl &url);

} // namespace kivora
