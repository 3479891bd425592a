#pragma once

#include "transfer/parseresult.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

struct HttpHeaderField
{
    std::string name;
    std::string value;
};

struct HttpResponseHead
{
    int minorVersion = 1;
    int status = 0;
    std::string reason;
    std::vector<HttpHeaderField> fields;

    // The first field of that name (compared without regard to case), or null.
    const std::string *field(std::string_view name) const;
};

// Limits that keep a hostile server from making the client buffer without end.
inline constexpr std::size_t kMaxResponseLineLength = 8192;
inline constexpr std::size_t kMaxResponseFields = 100;
inline constexpr std::size_t kMaxResponseHeadLength = 65536;

// Reads one response head (status line, header fields, empty line) from the start of
// `input`, which holds the bytes received so far. Lines may end in CR LF or a bare LF.
// Folded header lines are rejected. `head` is only meaningful after Consumed.
ParseResult parseResponseHead(std::string_view input, HttpResponseHead &head);

} // namespace kivora
