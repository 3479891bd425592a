#include "tests/swf/shapedecoder.h"

#include "tools/swf/bitreader.h"
#include "tools/swf/swfreader.h"

#include <algorithm>
#include <limits>

namespace kivora::swf::test {

namespace {

void include(Rect &rect, std::int32_t x, std::int32_t y)
{
    rect.xMin = std::min(rect.xMin, x);
    rect.xMax = std::max(rect.xMax, x);
    rect.yMin = std::min(rect.yMin, y);
    rect.yMax = std::max(rect.yMax, y);
}

DecodedShape walk(BitReader &in, std::size_t end, DecodedShape shape)
{
    const int fillStyles = in.readU8();
    shape.fillStyleCount = fillStyles;
    for (int i = 0; i < fillStyles; ++i) {
        if (in.readU8() != 0x00) {
            shape.error = "only solid fills expected";
            return shape;
        }
        in.readU32(); // RGBA
    }
    const int lineStyles = in.readU8();
    for (int i = 0; i < lineStyles; ++i) {
        in.readU16();
        in.readU32();
    }
    const int fillBits = static_cast<int>(in.readUB(4));
    const int lineBits = static_cast<int>(in.readUB(4));

    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    shape.reach = Rect{big, -big, big, -big};
    std::int32_t startX = 0;
    std::int32_t startY = 0;
    bool drawing = false;
    auto closeCheck = [&]() {
        if (drawing && (shape.penX != startX || shape.penY != startY))
            ++shape.openContours;
    };
    for (;;) {
        if (in.overrun()) {
            shape.error = "records run past the data";
            return shape;
        }
        if (in.readUB(1) == 0) {
            const std::uint32_t flags = in.readUB(5);
            if (flags == 0)
                break;
            if (flags & 0x10) {
                shape.error = "unexpected new styles";
                return shape;
            }
            if (flags & 0x01) {
                closeCheck();
                const int bits = static_cast<int>(in.readUB(5));
                shape.penX = startX = in.readSB(bits);
                shape.penY = startY = in.readSB(bits);
                include(shape.reach, shape.penX, shape.penY);
                ++shape.moves;
                drawing = true;
            }
            if (flags & 0x02)
                in.readUB(fillBits);
            if (flags & 0x04) {
                if (in.readUB(fillBits) > static_cast<std::uint32_t>(fillStyles)) {
                    shape.error = "fill style index out of range";
                    return shape;
                }
            }
            if (flags & 0x08)
                in.readUB(lineBits);
            continue;
        }
        ++shape.edges;
        const bool straight = in.readUB(1) == 1;
        const int bits = static_cast<int>(in.readUB(4)) + 2;
        if (straight) {
            if (in.readUB(1) == 1) {
                shape.penX += in.readSB(bits);
                shape.penY += in.readSB(bits);
            } else if (in.readUB(1) == 1) {
                shape.penY += in.readSB(bits);
            } else {
                shape.penX += in.readSB(bits);
            }
        } else {
            ++shape.curves;
            shape.penX += in.readSB(bits);
            shape.penY += in.readSB(bits);
            include(shape.reach, shape.penX, shape.penY);
            shape.penX += in.readSB(bits);
            shape.penY += in.readSB(bits);
        }
        include(shape.reach, shape.penX, shape.penY);
    }
    closeCheck();
    in.align();
    if (in.overrun() || in.bytePosition() != end) {
        shape.error = "shape ends at " + std::to_string(in.bytePosition()) + ", expected " + std::to_string(end);
        return shape;
    }
    shape.ok = true;
    return shape;
}

} // namespace

DecodedShape decodeShapeWithStyles(const Bytes &data, std::size_t offset, std::size_t length)
{
    BitReader in(data.data() + offset, length);
    return walk(in, length, DecodedShape{});
}

DecodedShape decodeDefineShape3(const Bytes &data, std::size_t offset, std::size_t length)
{
    BitReader in(data.data() + offset, length);
    DecodedShape shape;
    shape.shapeId = in.readU16();
    shape.bounds = readRect(in);
    return walk(in, length, shape);
}

} // namespace kivora::swf::test
