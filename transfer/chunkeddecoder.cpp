#include "transfer/chunkeddecoder.h"

#include "transfer/httpsyntax.h"

#include <algorithm>

namespace kivora {

using namespace httpsyntax;

namespace {

constexpr ChunkedDecoder::Step kNeedMore{ParseStatus::NeedMore, 0, {}};
constexpr ChunkedDecoder::Step kError{ParseStatus::Error, 0, {}};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

ChunkedDecoder::Step ChunkedDecoder::step(std::string_view input)
{
    switch (m_state) {
    case State::Size:
        return readSizeLine(input);
    case State::Data: {
        if (input.empty())
            return kNeedMore;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(m_remaining, input.size()));
        m_remaining -= n;
        if (m_remaining == 0)
            m_state = State::DataEnd;
        return {ParseStatus::Consumed, n, input.substr(0, n)};
    }
    case State::DataEnd:
        return readDataEnd(input);
    case State::Trailer:
        return readTrailerLine(input);
    case State::Done:
        break;
    }
    return kError;
}

ChunkedDecoder::Step ChunkedDecoder::readSizeLine(std::string_view input)
{
    const Line line = scanLine(input, kMaxChunkSizeLineLength);
    if (line.status == LineStatus::NeedMore)
        return kNeedMore;
    if (line.status == LineStatus::TooLong)
        return kError;

    // Sizes above 2^60 - 1 (15 hex digits) are refused rather than risking overflow.
    std::uint64_t size = 0;
    std::size_t digits = 0;
    std::string_view text = line.text;
    while (!text.empty() && hexValue(text.front()) >= 0) {
        if (++digits > 15)
            return kError;
        size = size * 16 + static_cast<std::uint64_t>(hexValue(text.front()));
        text.remove_prefix(1);
    }
    if (digits == 0)
        return kError;
    text = trimBlanks(text);
    if (!text.empty() && (text.front() != ';' || !std::all_of(text.begin(), text.end(), isFieldChar)))
        return kError;

    m_remaining = size;
    m_state = size == 0 ? State::Trailer : State::Data;
    return {ParseStatus::Consumed, line.length, {}};
}

ChunkedDecoder::Step ChunkedDecoder::readDataEnd(std::string_view input)
{
    if (input.empty())
        return kNeedMore;
    std::size_t length = 0;
    if (input[0] == '\n') {
        length = 1;
    } else if (input[0] == '\r') {
        if (input.size() < 2)
            return kNeedMore;
        if (input[1] != '\n')
            return kError;
        length = 2;
    } else {
        return kError;
    }
    m_state = State::Size;
    return {ParseStatus::Consumed, length, {}};
}

ChunkedDecoder::Step ChunkedDecoder::readTrailerLine(std::string_view input)
{
    const Line line = scanLine(input, kMaxLineLength);
    if (line.status == LineStatus::NeedMore)
        return kNeedMore;
    if (line.status == LineStatus::TooLong)
        return kError;
    if (line.text.empty()) {
        m_state = State::Done;
        return {ParseStatus::Consumed, line.length, {}};
    }
    std::string_view name;
    std::string_view value;
    if (isBlank(line.text.front()) || ++m_trailerFields > kMaxTrailerFields || !splitField(line.text, name, value))
        return kError;
    return {ParseStatus::Consumed, line.length, {}};
}

} // namespace kivora
