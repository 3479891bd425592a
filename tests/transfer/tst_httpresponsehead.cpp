#include "transfer/httpresponsehead.h"

#include <gtest/gtest.h>

#include <string>

namespace kivora {
namespace {

struct HeadCase
{
    const char *name;
    std::string input;
    ParseStatus status;
    std::size_t consumed = 0;
    int code = 0;
    std::string reason{};
    std::size_t fields = 0;
};

std::string longLine(std::size_t length) { return std::string(length, 'a'); }

std::string manyFields(std::size_t count)
{
    std::string head = "HTTP/1.1 200 OK\r\n";
    for (std::size_t i = 0; i < count; ++i)
        head += "X-F" + std::to_string(i) + ": v\r\n";
    return head + "\r\n";
}

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n";

class ResponseHeadTest : public testing::TestWithParam<HeadCase> {};

TEST_P(ResponseHeadTest, ParsesOrRejects)
{
    const HeadCase &c = GetParam();
    HttpResponseHead head;
    const ParseResult result = parseResponseHead(c.input, head);
    ASSERT_EQ(result.status, c.status);
    if (c.status != ParseStatus::Consumed)
        return;
    EXPECT_EQ(result.consumed, c.consumed);
    EXPECT_EQ(head.status, c.code);
    EXPECT_EQ(head.reason, c.reason);
    EXPECT_EQ(head.fields.size(), c.fields);
}

INSTANTIATE_TEST_SUITE_P(Table, ResponseHeadTest, testing::Values(
    HeadCase{"plain", kOk, ParseStatus::Consumed, kOk.size(), 200, "OK", 1},
    HeadCase{"body_follows", kOk + "abc", ParseStatus::Consumed, kOk.size(), 200, "OK", 1},
    HeadCase{"http10", "HTTP/1.0 404 Not Found\r\n\r\n", ParseStatus::Consumed, 26, 404, "Not Found", 0},
    HeadCase{"bare_lf", "HTTP/1.1 204 No Content\nA: b\n\n", ParseStatus::Consumed, 30, 204, "No Content", 1},
    HeadCase{"no_reason", "HTTP/1.1 200\r\n\r\n", ParseStatus::Consumed, 16, 200, "", 0},
    HeadCase{"empty_reason", "HTTP/1.1 200 \r\n\r\n", ParseStatus::Consumed, 17, 200, "", 0},
    HeadCase{"reason_utf8", "HTTP/1.1 500 \xe9\x94\x99\r\n\r\n", ParseStatus::Consumed, 20, 500, "\xe9\x94\x99", 0},
    HeadCase{"value_blanks_trimmed", "HTTP/1.1 200 OK\r\nA: \t x y \t\r\n\r\n", ParseStatus::Consumed, 31, 200, "OK", 1},
    HeadCase{"empty_value", "HTTP/1.1 200 OK\r\nA:\r\n\r\n", ParseStatus::Consumed, 23, 200, "OK", 1},
    HeadCase{"interim_only_first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\n", ParseStatus::Consumed, 25, 100, "Continue", 0},
    HeadCase{"empty", "", ParseStatus::NeedMore},
    HeadCase{"partial_status", "HTTP/1.1 20", ParseStatus::NeedMore},
    HeadCase{"no_empty_line", "HTTP/1.1 200 OK\r\nA: b\r\n", ParseStatus::NeedMore},
    HeadCase{"cr_awaiting_lf", "HTTP/1.1 200 OK\r\n\r", ParseStatus::NeedMore},
    HeadCase{"not_http", "ICY 200 OK\r\n\r\n", ParseStatus::Error},
    HeadCase{"http2", "HTTP/2 200\r\n\r\n", ParseStatus::Error},
    HeadCase{"two_digit_status", "HTTP/1.1 20 OK\r\n\r\n", ParseStatus::Error},
    HeadCase{"four_digit_status", "HTTP/1.1 2000 OK\r\n\r\n", ParseStatus::Error},
    HeadCase{"status_below_100", "HTTP/1.1 099 Odd\r\n\r\n", ParseStatus::Error},
    HeadCase{"letters_in_status", "HTTP/1.1 2x0 OK\r\n\r\n", ParseStatus::Error},
    HeadCase{"control_in_reason", std::string("HTTP/1.1 200 O\0K\r\n\r\n", 20), ParseStatus::Error},
    HeadCase{"bare_cr_in_line", "HTTP/1.1 200 OK\r\nA: b\rc\r\n\r\n", ParseStatus::Error},
    HeadCase{"folded_line", "HTTP/1.1 200 OK\r\nA: b\r\n c\r\n\r\n", ParseStatus::Error},
    HeadCase{"no_colon", "HTTP/1.1 200 OK\r\nJunk\r\n\r\n", ParseStatus::Error},
    HeadCase{"empty_name", "HTTP/1.1 200 OK\r\n: v\r\n\r\n", ParseStatus::Error},
    HeadCase{"blank_before_colon", "HTTP/1.1 200 OK\r\nA : v\r\n\r\n", ParseStatus::Error},
    HeadCase{"nul_in_value", std::string("HTTP/1.1 200 OK\r\nA: \0\r\n\r\n", 25), ParseStatus::Error},
    HeadCase{"longest_field_line", "HTTP/1.1 200 OK\r\nA: " + longLine(8192 - 3) + "\r\n\r\n", ParseStatus::Consumed,
             17 + 8192 + 2 + 2, 200, "OK", 1},
    HeadCase{"oversized_field_line", "HTTP/1.1 200 OK\r\nA: " + longLine(8192 - 2) + "\r\n\r\n", ParseStatus::Error},
    HeadCase{"oversized_line_unfinished", "HTTP/1.1 200 OK\r\nA: " + longLine(20000), ParseStatus::Error},
    HeadCase{"oversized_status_line", "HTTP/1.1 200 " + longLine(9000) + "\r\n\r\n", ParseStatus::Error},
    HeadCase{"most_fields", manyFields(100), ParseStatus::Consumed, manyFields(100).size(), 200, "OK", 100},
    HeadCase{"too_many_fields", manyFields(101), ParseStatus::Error},
    HeadCase{"oversized_head", [] {
                 std::string head = "HTTP/1.1 200 OK\r\n";
                 for (int i = 0; i < 20; ++i)
                     head += "A: " + longLine(4000) + "\r\n";
                 return head + "\r\n";
             }(), ParseStatus::Error}),
    [](const testing::TestParamInfo<HeadCase> &info) { return std::string(info.param.name); });

TEST(ResponseHead, EveryPrefixOfAValidHeadNeedsMore)
{
    const std::string full = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t n = 0; n < full.size(); ++n) {
        HttpResponseHead head;
        EXPECT_EQ(parseResponseHead(std::string_view(full).substr(0, n), head).status, ParseStatus::NeedMore) << n;
    }
}

TEST(ResponseHead, FieldLookupIgnoresCaseAndTakesTheFirst)
{
    HttpResponseHead head;
    ASSERT_EQ(parseResponseHead("HTTP/1.1 200 OK\r\ncontent-TYPE: a\r\nContent-Type: b\r\n\r\n", head).status, ParseStatus::Consumed);
    ASSERT_NE(head.field("Content-Type"), nullptr);
    EXPECT_EQ(*head.field("Content-Type"), "a");
    EXPECT_EQ(head.field("Content-Length"), nullptr);
}

} // namespace
} // namespace kivora
