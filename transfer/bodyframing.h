#pragma once

#include <cstdint>

namespace kivora {

struct HttpResponseHead;

// How the body of a response to a GET is delimited.
struct BodyFraming
{
    enum class Kind {
        None,       // 1xx, 204 and 304 carry no body
        Chunked,    // Transfer-Encoding names "chunked", in any letter case
        Length,     // Content-Length gives `length` bytes
        UntilClose, // the body ends when the server closes the connection
        Invalid,    // conflicting or malformed Content-Length
    };
    Kind kind = Kind::None;
    std::int64_t length = 0;
};

BodyFraming bodyFramingOf(const HttpResponseHead &head);

} // namespace kivora
