#include "transfer/bodyframing.h"
#include "transfer/httpresponsehead.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kivora {
namespace {

struct FramingCase
{
    const char *name;
    int status;
    std::vector<HttpHeaderField> fields;
    BodyFraming::Kind kind;
    std::int64_t length = 0;
};

class BodyFramingTest : public testing::TestWithParam<FramingCase> {};

TEST_P(BodyFramingTest, ChoosesTheFraming)
{
    const FramingCase &c = GetParam();
    HttpResponseHead head;
    head.status = c.status;
    head.fields = c.fields;
    const BodyFraming framing = bodyFramingOf(head);
    EXPECT_EQ(framing.kind, c.kind);
    EXPECT_EQ(framing.length, c.length);
}

using Kind = BodyFraming::Kind;

INSTANTIATE_TEST_SUITE_P(Table, BodyFramingTest, testing::Values(
    FramingCase{"length", 200, {{"Content-Length", "100000"}}, Kind::Length, 100000},
    FramingCase{"length_zero", 200, {{"content-length", "0"}}, Kind::Length, 0},
    FramingCase{"length_repeated_equal", 200, {{"Content-Length", "5"}, {"Content-Length", "5"}}, Kind::Length, 5},
    FramingCase{"length_list_equal", 200, {{"Content-Length", "5, 5"}}, Kind::Length, 5},
    FramingCase{"length_conflict", 200, {{"Content-Length", "5"}, {"Content-Length", "6"}}, Kind::Invalid},
    FramingCase{"length_negative", 200, {{"Content-Length", "-1"}}, Kind::Invalid},
    FramingCase{"length_signed", 200, {{"Content-Length", "+5"}}, Kind::Invalid},
    FramingCase{"length_empty", 200, {{"Content-Length", ""}}, Kind::Invalid},
    FramingCase{"length_hex", 200, {{"Content-Length", "0x10"}}, Kind::Invalid},
    FramingCase{"length_overflow", 200, {{"Content-Length", "9223372036854775808"}}, Kind::Invalid},
    FramingCase{"length_largest", 200, {{"Content-Length", "9223372036854775807"}}, Kind::Length, 9223372036854775807},
    FramingCase{"chunked", 200, {{"Transfer-Encoding", "chunked"}}, Kind::Chunked},
    FramingCase{"chunked_any_case", 200, {{"transfer-encoding", "ChUnKeD"}}, Kind::Chunked},
    FramingCase{"chunked_in_list", 200, {{"Transfer-Encoding", "gzip, chunked"}}, Kind::Chunked},
    FramingCase{"chunked_beats_length", 200, {{"Content-Length", "10"}, {"Transfer-Encoding", "chunked"}}, Kind::Chunked},
    FramingCase{"until_close", 200, {{"Content-Type", "text/plain"}}, Kind::UntilClose},
    FramingCase{"no_content", 204, {{"Content-Length", "10"}}, Kind::None},
    FramingCase{"not_modified", 304, {{"Content-Length", "10"}}, Kind::None},
    FramingCase{"interim", 101, {}, Kind::None},
    FramingCase{"error_with_length", 404, {{"Content-Length", "1000"}}, Kind::Length, 1000},
    FramingCase{"redirect_until_close", 302, {{"Location", "/elsewhere"}}, Kind::UntilClose}),
    [](const testing::TestParamInfo<FramingCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace kivora
