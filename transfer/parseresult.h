#pragma once

#include <cstddef>

namespace kivora {

// The answer of a parser that is handed the bytes received so far.
enum class ParseStatus {
    NeedMore, // the input ends before the item does; call again with more bytes
    Error,    // the input is malformed or exceeds a limit; the response cannot be read
    Consumed, // the item was read from the first `consumed` bytes of the input
};

struct ParseResult
{
    ParseStatus status = ParseStatus::NeedMore;
    std::size_t consumed = 0;
};

} // namespace kivora
