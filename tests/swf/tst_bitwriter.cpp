#include "tools/swf/bitreader.h"
#include "tools/swf/bitwriter.h"
#include "tests/swf/hex.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kivora::swf {
namespace {

using test::hex;

struct WidthCase {
    std::int32_t value;
    int unsignedBits;
    int signedBits;
};

class FieldWidth : public ::testing::TestWithParam<WidthCase> {};

TEST_P(FieldWidth, IsTheSmallestThatHoldsTheValue)
{
    const WidthCase c = GetParam();
    if (c.value >= 0) {
        EXPECT_EQ(BitWriter::unsignedBits(static_cast<std::uint32_t>(c.value)), c.unsignedBits);
    }
    EXPECT_EQ(BitWriter::signedBits(c.value), c.signedBits);
}

INSTANTIATE_TEST_SUITE_P(Values, FieldWidth,
                         ::testing::Values(WidthCase{0, 0, 0}, WidthCase{1, 1, 2}, WidthCase{-1, 0, 1},
                                           WidthCase{-2, 0, 2}, WidthCase{3, 2, 3}, WidthCase{-4, 0, 3},
                                           WidthCase{-5, 0, 4}, WidthCase{100, 7, 8}, WidthCase{-50, 0, 7},
                                           WidthCase{0x10000, 17, 18}, WidthCase{65535, 16, 17},
                                           WidthCase{-65536, 0, 17}, WidthCase{INT32_MIN, 0, 32},
                                           WidthCase{INT32_MAX, 31, 32}));

TEST(BitWriter, PacksFieldsMostSignificantBitFirstAcrossBytes)
{
    BitWriter out;
    out.writeUB(0b101, 3);
    out.writeSB(-3, 4);   // 1101
    out.writeUB(0x1ff, 9);
    out.writeUB(1, 1);
    EXPECT_EQ(hex(out.bytes()), "BB FF 80");
}

TEST(BitWriter, AlignsBeforeByteFieldsAndWritesThemLittleEndian)
{
    BitWriter out;
    out.writeUB(1, 1);
    out.writeU16(0x1234);
    out.writeU32(0xA1B2C3D4);
    out.writeUB(1, 1);
    out.align();
    out.writeU8(0x7f);
    EXPECT_EQ(hex(out.bytes()), "80 34 12 D4 C3 B2 A1 80 7F");
}

TEST(BitWriter, RefusesValuesWiderThanTheirField)
{
    BitWriter out;
    EXPECT_THROW(out.writeUB(8, 3), std::out_of_range);
    EXPECT_THROW(out.writeSB(4, 3), std::out_of_range);
    EXPECT_THROW(out.writeSB(-5, 3), std::out_of_range);
    EXPECT_THROW(out.writeUB(0, 33), std::invalid_argument);
}

TEST(BitReader, ReadsBackWhatTheWriterPacked)
{
    BitWriter out;
    const std::int32_t values[] = {0, 1, -1, 37, -4096, 65535, -65536, INT32_MIN, INT32_MAX};
    for (std::int32_t value : values)
        out.writeSB(value, 32);
    for (std::int32_t value : values) {
        const int bits = std::max(1, BitWriter::signedBits(value));
        out.writeUB(static_cast<std::uint32_t>(bits), 6);
        out.writeSB(value, bits);
    }
    BitReader in(out.bytes().data(), out.bytes().size());
    for (std::int32_t value : values)
        EXPECT_EQ(in.readSB(32), value);
    for (std::int32_t value : values) {
        const int bits = static_cast<int>(in.readUB(6));
        EXPECT_EQ(in.readSB(bits), value);
    }
    EXPECT_FALSE(in.overrun());
    in.readUB(16);
    EXPECT_TRUE(in.overrun());
}

} // namespace
} // namespace kivora::swf
