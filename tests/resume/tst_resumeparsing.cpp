#include "platform/net/responseheaders.h"
#include "platform/net/resumerecord.h"

#include <gtest/gtest.h>

#include <vector>

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
    headers.addLine("DATE: Tue, 01 Dec 2026 09:00:00 GMT\r\n");
    EXPECT_EQ(headers.validator(), "Tue, 01 Dec 2026 08:00:00 GMT");
    EXPECT_EQ(headers.contentRange(), "");
}

struct ValidatorCase
{
    const char *name;
    std::vector<const char *> lines;
    std::string validator;
};

class ValidatorChoice : public ::testing::TestWithParam<ValidatorCase>
{
};

TEST_P(ValidatorChoice, OnlyAStrongOneValidatesARange)
{
    ResponseHeaders headers;
    headers.addLine("HTTP/1.1 200 OK\r\n");
    for (const char *line : GetParam().lines)
        headers.addLine(line);
    EXPECT_EQ(headers.validator(), GetParam().validator);
}

constexpr const char *modified = "Last-Modified: Tue, 01 Dec 2026 08:00:00 GMT\r\n";

INSTANTIATE_TEST_SUITE_P(
    Heads, ValidatorChoice,
    ::testing::Values(
        ValidatorCase{"strongEtagFirst", {modified, "Date: Tue, 01 Dec 2026 09:00:00 GMT\r\n", "ETAG: \"abc\"\r\n"},
                      "\"abc\""},
        ValidatorCase{"weakEtag", {"ETag: W/\"abc\"\r\n"}, ""},
        ValidatorCase{"weakEtagThenDate",
                      {"ETag: W/\"abc\"\r\n", modified, "Date: Tue, 01 Dec 2026 08:00:01 GMT\r\n"},
                      "Tue, 01 Dec 2026 08:00:00 GMT"},
        // RFC 850 and asctime dates count as well.
        ValidatorCase{"oldDateForms", {modified, "Date: Tuesday, 01-Dec-26 08:00:01 GMT\r\n"},
                      "Tue, 01 Dec 2026 08:00:00 GMT"},
        ValidatorCase{"asctimeDate", {modified, "Date: Tue Dec  1 08:00:01 2026\r\n"}, "Tue, 01 Dec 2026 08:00:00 GMT"},
        ValidatorCase{"sameSecond", {modified, "Date: Tue, 01 Dec 2026 08:00:00 GMT\r\n"}, ""},
        ValidatorCase{"noDate", {modified}, ""},
        ValidatorCase{"unreadableDate", {modified, "Date: soon\r\n"}, ""}),
    [](const auto &info) { return std::string(info.param.name); });

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
