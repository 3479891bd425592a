#include "platform/net/responseheaders.h"
#include "platform/net/resumerecord.h"

#include <gtest/gtest.h>

namespace kivora {
namespace {

struct RangeCase
{
    const char *text;
    bool valid;
    std::uint64_t first;
    std::uint64_t last;
    std::optional<std::uint64_t> total;
};

class ContentRangeParsing : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(ContentRangeParsing, ReadsOnlyWellFormedByteRanges)
{
    const RangeCase &c = GetParam();
    const std::optional<ContentRange> range = parseContentRange(c.text);
    ASSERT_EQ(range.has_value(), c.valid) << c.text;
    if (!range)
        return;
    EXPECT_EQ(range->first, c.first);
    EXPECT_EQ(range->last, c.last);
    EXPECT_EQ(range->total, c.total);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ContentRangeParsing,
    ::testing::Values(RangeCase{"bytes 100-199/200", true, 100, 199, 200},
                      RangeCase{" Bytes 0-0/1 ", true, 0, 0, 1},
                      RangeCase{"bytes 5-9/*", true, 5, 9, std::nullopt},
                      RangeCase{"bytes 90000000000-99999999999/100000000000", true, 90000000000, 99999999999,
                                100000000000},
                      RangeCase{"bytes */200", false, 0, 0, 0}, // the form of a 416 answer
                      RangeCase{"bytes 10-5/200", false, 0, 0, 0},
                      RangeCase{"bytes 0-199/199", false, 0, 0, 0},
                      RangeCase{"bytes -5-9/20", false, 0, 0, 0},
                      RangeCase{"items 0-1/2", false, 0, 0, 0},
                      RangeCase{"bytes 0-1/2x", false, 0, 0, 0},
                      RangeCase{"bytes 99999999999999999999-1/2", false, 0, 0, 0},
                      RangeCase{"", false, 0, 0, 0}));

TEST(ResponseHeaderGathering, OnlyTheFinalAnswerCounts)
{
    ResponseHeaders headers;
    headers.addLine("HTTP/1.1 302 Found\r\n");
    headers.addLine("ETag: \"redirect\"\r\n");
    headers.addLine("Content-Range: bytes 0-1/2\r\n");
    headers.addLine("\r\n");
    headers.addLine("HTTP/1.1 200 OK\r\n");
    headers.addLine("last-modified:  Tue, 01 Dec 2026 08:00:00 GMT \r\n");
    EXPECT_EQ(headers.validator(), "Tue, 01 Dec 2026 08:00:00 GMT");
    EXPECT_EQ(headers.contentRange(), "");
}

TEST(ResponseHeaderGathering, StrongEtagIsPreferredAndWeakOneNeverValidates)
{
    ResponseHeaders strong;
    strong.addLine("HTTP/1.1 200 OK\r\n");
    strong.addLine("Last-Modified: Tue, 01 Dec 2026 08:00:00 GMT\r\n");
    strong.addLine("ETAG: \"abc\"\r\n");
    EXPECT_EQ(strong.validator(), "\"abc\"");

    ResponseHeaders weak;
    weak.addLine("HTTP/1.1 200 OK\r\n");
    weak.addLine("ETag: W/\"abc\"\r\n");
    EXPECT_EQ(weak.validator(), "");
    weak.addLine("Last-Modified: Tue, 01 Dec 2026 08:00:00 GMT\r\n");
    EXPECT_EQ(weak.validator(), "Tue, 01 Dec 2026 08:00:00 GMT");
}

TEST(ResumeRecordText, SurvivesARoundTrip)
{
    const ResumeRecord record{"http://127.0.0.1:8080/erge/%E5%81%9A.swf", "\"5f3a-1b\"", 123456789012};
    const std::optional<ResumeRecord> read = parseResumeRecord(formatResumeRecord(record));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->url, record.url);
    EXPECT_EQ(read->validator, record.validator);
    EXPECT_EQ(read->size, record.size);
}

TEST(ResumeRecordText, IncompleteOrDamagedRecordsAreRefused)
{
    const std::string whole = formatResumeRecord({"http://127.0.0.1/a.swf", "\"v\"", 10});
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(parseResumeRecord(whole.substr(0, cut))) << "cut at " << cut;
    EXPECT_FALSE(parseResumeRecord("url http://127.0.0.1/a.swf\nvalidator \nsize 10\n"));
    EXPECT_FALSE(parseResumeRecord("url http://127.0.0.1/a.swf\nvalidator \"v\"\r\nsize 10\n"));
    EXPECT_FALSE(parseResumeRecord("url http://127.0.0.1/a.swf\nvalidator \"v\"\nsize -1\n"));
    EXPECT_FALSE(writeResumeRecord("/nonexistent-folder/x.record", {"http://127.0.0.1/a", "\"v\"\r\nX: y", 1}));
}

} // namespace
} // namespace kivora
