#include "tools/swf/swfrecords.h"

#include "tools/swf/bitwriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kivora::swf {

namespace {

int widest(std::initializer_list<std::int32_t> values)
{
    int bits = 0;
    for (std::int32_t value : values)
        bits = std::max(bits, BitWriter::signedBits(value));
    return bits;
}

} // namespace

Matrix Matrix::translation(std::int32_t x, std::int32_t y)
{
    Matrix matrix;
    matrix.translateX = x;
    matrix.translateY = y;
    return matrix;
}

Matrix Matrix::scaledRotated(double scale, double radians, std::int32_t x, std::int32_t y)
{
    Matrix matrix;
    matrix.scaleX = scale * std::cos(radians);
    matrix.scaleY = matrix.scaleX;
    matrix.rotateSkew0 = scale * std::sin(radians);
    matrix.rotateSkew1 = -matrix.rotateSkew0;
    matrix.translateX = x;
    matrix.translateY = y;
    return matrix;
}

std::int32_t toFixed16(double value)
{
    const double scaled = std::round(value * 65536.0);
    if (scaled > 2147483647.0 || scaled < -2147483648.0)
        throw std::out_of_range("fixed-point value out of range");
    return static_cast<std::int32_t>(scaled);
}

void writeRect(BitWriter &out, const Rect &rect)
{
    out.align();
    const int bits = widest({rect.xMin, rect.xMax, rect.yMin, rect.yMax});
    out.writeUB(static_cast<std::uint32_t>(bits), 5);
    out.writeSB(rect.xMin, bits);
    out.writeSB(rect.xMax, bits);
    out.writeSB(rect.yMin, bits);
    out.writeSB(rect.yMax, bits);
    out.align();
}

void writeMatrix(BitWriter &out, const Matrix &matrix)
{
    out.align();
    const std::int32_t scaleX = toFixed16(matrix.scaleX);
    const std::int32_t scaleY = toFixed16(matrix.scaleY);
    const bool hasScale = scaleX != 0x10000 || scaleY != 0x10000;
    out.writeUB(hasScale ? 1 : 0, 1);
    if (hasScale) {
        const int bits = widest({scaleX, scaleY});
        out.writeUB(static_cast<std::uint32_t>(bits), 5);
        out.writeFB(scaleX, bits);
        out.writeFB(scaleY, bits);
    }
    const std::int32_t skew0 = toFixed16(matrix.rotateSkew0);
    const std::int32_t skew1 = toFixed16(matrix.rotateSkew1);
    const bool hasRotate = skew0 != 0 || skew1 != 0;
    out.writeUB(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        const int bits = widest({skew0, skew1});
        out.writeUB(static_cast<std::uint32_t>(bits), 5);
        out.writeFB(skew0, bits);
        out.writeFB(skew1, bits);
    }
    const int bits = widest({matrix.translateX, matrix.translateY});
    out.writeUB(static_cast<std::uint32_t>(bits), 5);
    out.writeSB(matrix.translateX, bits);
    out.writeSB(matrix.translateY, bits);
    out.align();
}

void writeRgb(BitWriter &out, const Rgba &colour)
{
    out.writeU8(colour.r);
    out.writeU8(colour.g);
    out.writeU8(colour.b);
}

void writeRgba(BitWriter &out, const Rgba &colour)
{
    writeRgb(out, colour);
    out.writeU8(colour.a);
}

void writeTagHeader(BitWriter &out, TagCode code, std::uint32_t bodyLength)
{
    const auto shifted = static_cast<std::uint16_t>(static_cast<std::uint16_t>(code) << 6);
    if (bodyLength < 63) {
        out.writeU16(static_cast<std::uint16_t>(shifted | bodyLength));
    } else {
        out.writeU16(static_cast<std::uint16_t>(shifted | 0x3f));
        out.writeU32(bodyLength);
    }
}

} // namespace kivora::swf
