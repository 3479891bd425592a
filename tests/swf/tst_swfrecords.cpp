#include "tools/swf/bitreader.h"
#include "tools/swf/bitwriter.h"
#include "tests/swf/hex.h"
#include "tools/swf/swfreader.h"
#include "tools/swf/swfrecords.h"

#include <gtest/gtest.h>

#include <numbers>

namespace kivora::swf {
namespace {

using test::hex;

struct RectCase {
    const char *name;
    Rect rect;
    const char *bytes;
};

class RectRecord : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectRecord, MatchesHandPackedBytesAndReadsBack)
{
    const RectCase c = GetParam();
    BitWriter out;
    writeRect(out, c.rect);
    EXPECT_EQ(hex(out.bytes()), c.bytes);

    BitReader in(out.bytes().data(), out.bytes().size());
    const Rect back = readRect(in);
    EXPECT_EQ(back.xMin, c.rect.xMin);
    EXPECT_EQ(back.xMax, c.rect.xMax);
    EXPECT_EQ(back.yMin, c.rect.yMin);
    EXPECT_EQ(back.yMax, c.rect.yMax);
    EXPECT_EQ(in.bytePosition(), out.bytes().size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectRecord,
    ::testing::Values(RectCase{"empty", {0, 0, 0, 0}, "00"},
                      RectCase{"classic550x400", {0, 11000, 0, 8000}, "78 00 05 5F 00 00 0F A0 00"},
                      RectCase{"negative", {-1, 1, -1, 1}, "16 E8"}),
    [](const ::testing::TestParamInfo<RectCase> &info) { return std::string(info.param.name); });

struct MatrixCase {
    const char *name;
    Matrix matrix;
    const char *bytes;
};

class MatrixRecord : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(MatrixRecord, MatchesHandPackedBytes)
{
    BitWriter out;
    writeMatrix(out, GetParam().matrix);
    EXPECT_EQ(hex(out.bytes()), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatrixRecord,
    ::testing::Values(MatrixCase{"identity", Matrix{}, "00"},
                      MatrixCase{"translation", Matrix::translation(20, -20), "0C A5 80"},
                      MatrixCase{"scale", Matrix{2.0, 0.5, 0, 0, 0, 0}, "CD 00 00 08 00 00 00"},
                      MatrixCase{"quarterTurn", Matrix::scaledRotated(1.0, std::numbers::pi / 2, 0, 0),
                                 "83 24 00 03 00 00 00"}),
    [](const ::testing::TestParamInfo<MatrixCase> &info) { return std::string(info.param.name); });

struct TagHeaderCase {
    const char *name;
    TagCode code;
    std::uint32_t length;
    const char *bytes;
};

class TagHeader : public ::testing::TestWithParam<TagHeaderCase> {};

TEST_P(TagHeader, UsesTheLongFormFrom63Bytes)
{
    BitWriter out;
    writeTagHeader(out, GetParam().code, GetParam().length);
    EXPECT_EQ(hex(out.bytes()), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TagHeader,
    ::testing::Values(TagHeaderCase{"end", TagCode::End, 0, "00 00"},
                      TagHeaderCase{"showFrame", TagCode::ShowFrame, 0, "40 00"},
                      TagHeaderCase{"background", TagCode::SetBackgroundColor, 3, "43 02"},
                      TagHeaderCase{"longestShort", TagCode::DefineShape3, 62, "3E 08"},
                      TagHeaderCase{"shortestLong", TagCode::DefineShape3, 63, "3F 08 3F 00 00 00"},
                      TagHeaderCase{"largeSound", TagCode::DefineSound, 70000, "BF 03 70 11 01 00"}),
    [](const ::testing::TestParamInfo<TagHeaderCase> &info) { return std::string(info.param.name); });

TEST(ColourRecords, RgbHasThreeBytesAndRgbaFour)
{
    BitWriter out;
    writeRgb(out, Rgba{0x12, 0x34, 0x56, 0x78});
    writeRgba(out, Rgba{0x12, 0x34, 0x56, 0x78});
    EXPECT_EQ(hex(out.bytes()), "12 34 56 12 34 56 78");
}

} // namespace
} // namespace kivora::swf
