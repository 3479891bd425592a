#pragma once

#include "transfer/parseresult.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kivora {

inline constexpr std::size_t kMaxChunkSizeLineLength = 4096;
inline constexpr std::size_t kMaxTrailerFields = 100;

// Decodes a chunked body step by step, without buffering: each step reads one item
// (a size line, the next piece of chunk data, a chunk's line end or a trailer line) from
// the start of the bytes received so far. Chunk extensions and trailers are checked and dropped.
class ChunkedDecoder
{
public:
    struct Step
    {
        ParseStatus status = ParseStatus::NeedMore;
        std::size_t consumed = 0;
        std::string_view data; // body bytes within the consumed input, possibly empty
    };

    // Precondition: !finished().
    Step step(std::string_view input);
    bool finished() const { return m_state == State::Done; }

private:
    enum class State { Size, Data, DataEnd, Trailer, Done };

    Step readSizeLine(std::string_view input);
    Step readDataEnd(std::string_view input);
    Step readTrailerLine(std::string_view input);

    State m_state = State::Size;
    std::uint64_t m_remaining = 0;
    std::size_t m_trailerFields = 0;
};

} // namespace kivora
