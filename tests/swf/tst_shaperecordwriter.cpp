#include "tools/swf/bitwriter.h"
#include "tests/swf/hex.h"
#include "tests/swf/shapedecoder.h"
#include "tools/swf/shaperecordwriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace kivora::swf {
namespace {

using test::hex;

struct RecordCase {
    const char *name;
    std::function<void(ShapeRecordWriter &)> write;
    const char *bytes; // the record, then the end record, then alignment
};

class ShapeRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ShapeRecord, MatchesHandPackedBytes)
{
    BitWriter out;
    ShapeRecordWriter records(out, 1, 0);
    GetParam().write(records);
    records.end();
    EXPECT_EQ(hex(out.bytes()), GetParam().bytes);
}

using Change = ShapeRecordWriter::StyleChange;

INSTANTIATE_TEST_SUITE_P(
    Cases, ShapeRecord,
    ::testing::Values(
        RecordCase{"endOnly", [](ShapeRecordWriter &) {}, "00"},
        RecordCase{"horizontal", [](ShapeRecordWriter &r) { r.straightEdge(100, 0); }, "D8 64 00"},
        RecordCase{"vertical", [](ShapeRecordWriter &r) { r.straightEdge(0, -1); }, "C1 C0"},
        RecordCase{"general", [](ShapeRecordWriter &r) { r.straightEdge(10, -10); }, "CE AB 00"},
        RecordCase{"curved", [](ShapeRecordWriter &r) { r.curvedEdge(10, 0, 0, 10); }, "8D 40 02 80"},
        RecordCase{"moveToOriginWithFill1",
                   [](ShapeRecordWriter &r) { r.styleChange(Change{0, 0, std::nullopt, 1u, std::nullopt}); },
                   "14 10 00"},
        RecordCase{"moveWithFill1",
                   [](ShapeRecordWriter &r) { r.styleChange(Change{100, -50, std::nullopt, 1u, std::nullopt}); },
                   "15 0C 99 D0 00"},
        RecordCase{"fill0Only",
                   [](ShapeRecordWriter &r) {
                       r.styleChange(Change{std::nullopt, std::nullopt, 1u, std::nullopt, std::nullopt});
                   },
                   "0A 00"}),
    [](const ::testing::TestParamInfo<RecordCase> &info) { return std::string(info.param.name); });

TEST(ShapeRecordWriter, SplitsEdgesTooLongForOneRecord)
{
    BitWriter out;
    out.writeU8(0); // no fill styles
    out.writeU8(0); // no line styles
    out.writeUB(0, 4);
    out.writeUB(0, 4);
    ShapeRecordWriter records(out, 0, 0);
    records.styleChange(Change{0, 0, std::nullopt, std::nullopt, std::nullopt});
    records.straightEdge(200000, -3);
    records.straightEdge(0, -131071);
    records.end();

    const test::DecodedShape shape = test::decodeShapeWithStyles(out.bytes(), 0, out.bytes().size());
    ASSERT_TRUE(shape.ok) << shape.error;
    EXPECT_GT(shape.edges, 2);
    EXPECT_EQ(shape.penX, 200000);
    EXPECT_EQ(shape.penY, -131074);
}

TEST(ShapeRecordWriter, RefusesCurvesBeyondTheRecordRange)
{
    BitWriter out;
    ShapeRecordWriter records(out, 1, 0);
    EXPECT_THROW(records.curvedEdge(70000, 0, 0, 10), std::out_of_range);
}

} // namespace
} // namespace kivora::swf
