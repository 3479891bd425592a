#include "transfer/chunkeddecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kivora {
namespace {

struct Decoded
{
    ParseStatus status = ParseStatus::NeedMore; // Consumed: the body is complete
    std::string body;
    std::size_t consumed = 0;
};

// Feeds `input` in pieces of `piece` bytes, keeping unconsumed bytes as a client does.
Decoded decode(const std::string &input, std::size_t piece)
{
    ChunkedDecoder decoder;
    Decoded out;
    std::string pending;
    std::size_t fed = 0;
    while (!decoder.finished()) {
        const ChunkedDecoder::Step step = decoder.step(pending);
        if (step.status == ParseStatus::Error) {
            out.status = ParseStatus::Error;
            return out;
        }
        if (step.status == ParseStatus::NeedMore) {
            if (fed == input.size())
                return out;
            const std::size_t n = std::min(piece, input.size() - fed);
            pending.append(input, fed, n);
            fed += n;
            continue;
        }
        out.body.append(step.data);
        out.consumed += step.consumed;
        pending.erase(0, step.consumed);
    }
    out.status = ParseStatus::Consumed;
    return out;
}

struct ChunkCase
{
    const char *name;
    std::string input;
    ParseStatus status;
    std::string body;
};

class ChunkedDecoderTest : public testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkedDecoderTest, DecodesWholeAndPieceByPiece)
{
    const ChunkCase &c = GetParam();
    for (std::size_t piece : {c.input.size() + 1, std::size_t(1), std::size_t(3)}) {
        const Decoded d = decode(c.input, piece);
        EXPECT_EQ(d.status, c.status) << "piece " << piece;
        if (c.status == ParseStatus::Consumed) {
            EXPECT_EQ(d.body, c.body) << "piece " << piece;
            const std::size_t following = c.input.ends_with("NEXT") ? 4 : 0;
            EXPECT_EQ(d.consumed + following, c.input.size()) << "piece " << piece;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ChunkedDecoderTest, testing::Values(
    ChunkCase{"simple", "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n", ParseStatus::Consumed, "hello world"},
    ChunkCase{"stops_at_the_end", "3\r\nabc\r\n0\r\n\r\nNEXT", ParseStatus::Consumed, "abc"},
    ChunkCase{"empty_body", "0\r\n\r\n", ParseStatus::Consumed, ""},
    ChunkCase{"hex_any_case", "a\r\n0123456789\r\nA\r\n0123456789\r\n0\r\n\r\n", ParseStatus::Consumed, "01234567890123456789"},
    ChunkCase{"leading_zeros", "0003\r\nabc\r\n000\r\n\r\n", ParseStatus::Consumed, "abc"},
    ChunkCase{"extensions", "3;name=value;flag\r\nabc\r\n0 ; last\r\n\r\n", ParseStatus::Consumed, "abc"},
    ChunkCase{"trailers", "3\r\nabc\r\n0\r\nX-Checksum: 1\r\nX-Other: 2\r\n\r\n", ParseStatus::Consumed, "abc"},
    ChunkCase{"bare_lf", "3\nabc\n0\n\n", ParseStatus::Consumed, "abc"},
    ChunkCase{"crlf_inside_data", "4\r\n\r\n\r\n\r\n0\r\n\r\n", ParseStatus::Consumed, "\r\n\r\n"},
    ChunkCase{"largest_size_line", "3;" + std::string(4096 - 2, 'x') + "\r\nabc\r\n0\r\n\r\n", ParseStatus::Consumed, "abc"},
    ChunkCase{"truncated_in_data", "5\r\nhel", ParseStatus::NeedMore, ""},
    ChunkCase{"truncated_before_last", "3\r\nabc\r\n", ParseStatus::NeedMore, ""},
    ChunkCase{"truncated_in_trailers", "0\r\nX: y\r\n", ParseStatus::NeedMore, ""},
    ChunkCase{"no_size", "\r\nabc\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"bad_size", "g\r\nabc\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"signed_size", "-3\r\nabc\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"size_with_junk", "3x\r\nabc\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"oversized_size", "1000000000000000\r\n", ParseStatus::Error, ""},
    ChunkCase{"many_digits", std::string(40, 'f') + "\r\n", ParseStatus::Error, ""},
    ChunkCase{"oversized_size_line", "3;" + std::string(4096 - 1, 'x') + "\r\nabc\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"unended_size_line", "3;" + std::string(10000, 'x'), ParseStatus::Error, ""},
    ChunkCase{"control_in_extension", std::string("3;a\0b\r\nabc\r\n0\r\n\r\n", 17), ParseStatus::Error, ""},
    ChunkCase{"data_longer_than_size", "3\r\nabcd\r\n0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"cr_without_lf_after_data", "3\r\nabc\rX0\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"malformed_trailer", "0\r\nno colon here\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"folded_trailer", "0\r\nX: a\r\n b\r\n\r\n", ParseStatus::Error, ""},
    ChunkCase{"too_many_trailers", [] {
                  std::string body = "0\r\n";
                  for (int i = 0; i < 101; ++i)
                      body += "X: y\r\n";
                  return body + "\r\n";
              }(), ParseStatus::Error, ""}),
    [](const testing::TestParamInfo<ChunkCase> &info) { return std::string(info.param.name); });

TEST(ChunkedDecoder, HandsOutDataWithoutWaitingForTheWholeChunk)
{
    ChunkedDecoder decoder;
    const std::string input = "100000\r\nabc";
    ChunkedDecoder::Step step = decoder.step(input);
    ASSERT_EQ(step.status, ParseStatus::Consumed);
    EXPECT_EQ(step.consumed, 8u);
    step = decoder.step(std::string_view(input).substr(8));
    ASSERT_EQ(step.status, ParseStatus::Consumed);
    EXPECT_EQ(step.data, "abc");
    EXPECT_EQ(decoder.step("").status, ParseStatus::NeedMore);
}

} // namespace
} // namespace kivora
