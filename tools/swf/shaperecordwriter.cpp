#include "tools/swf/shaperecordwriter.h"

#include "tools/swf/bitwriter.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace kivora::swf {

namespace {

// Edge records store their field width minus two in four bits.
int edgeBits(std::initializer_list<std::int32_t> values)
{
    int bits = 2;
    for (std::int32_t value : values)
        bits = std::max(bits, BitWriter::signedBits(value));
    if (bits > 17)
        throw std::out_of_range("edge delta too large for a shape record");
    return bits;
}

} // namespace

ShapeRecordWriter::ShapeRecordWriter(BitWriter &out, int fillBits, int lineBits)
    : m_out(out)
    , m_fillBits(fillBits)
    , m_lineBits(lineBits)
{
}

void ShapeRecordWriter::styleChange(const StyleChange &change)
{
    const bool move = change.moveX.has_value() || change.moveY.has_value();
    m_out.writeUB(0, 1); // non-edge record
    m_out.writeUB(0, 1); // no new styles
    m_out.writeUB(change.lineStyle ? 1 : 0, 1);
    m_out.writeUB(change.fillStyle1 ? 1 : 0, 1);
    m_out.writeUB(change.fillStyle0 ? 1 : 0, 1);
    m_out.writeUB(move ? 1 : 0, 1);
    if (move) {
        const std::int32_t x = change.moveX.value_or(0);
        const std::int32_t y = change.moveY.value_or(0);
        const int bits = std::max(BitWriter::signedBits(x), BitWriter::signedBits(y));
        m_out.writeUB(static_cast<std::uint32_t>(bits), 5);
        m_out.writeSB(x, bits);
        m_out.writeSB(y, bits);
    }
    if (change.fillStyle0)
        m_out.writeUB(*change.fillStyle0, m_fillBits);
    if (change.fillStyle1)
        m_out.writeUB(*change.fillStyle1, m_fillBits);
    if (change.lineStyle)
        m_out.writeUB(*change.lineStyle, m_lineBits);
}

void ShapeRecordWriter::straightEdge(std::int32_t dx, std::int32_t dy)
{
    if (std::abs(static_cast<std::int64_t>(dx)) > maxEdgeDelta || std::abs(static_cast<std::int64_t>(dy)) > maxEdgeDelta) {
        const std::int32_t halfX = dx / 2;
        const std::int32_t halfY = dy / 2;
        straightEdge(halfX, halfY);
        straightEdge(dx - halfX, dy - halfY);
        return;
    }
    m_out.writeUB(1, 1); // edge record
    m_out.writeUB(1, 1); // straight
    if (dx != 0 && dy != 0) {
        const int bits = edgeBits({dx, dy});
        m_out.writeUB(static_cast<std::uint32_t>(bits - 2), 4);
        m_out.writeUB(1, 1); // general line
        m_out.writeSB(dx, bits);
        m_out.writeSB(dy, bits);
        return;
    }
    const bool vertical = dx == 0;
    const std::int32_t delta = vertical ? dy : dx;
    const int bits = edgeBits({delta});
    m_out.writeUB(static_cast<std::uint32_t>(bits - 2), 4);
    m_out.writeUB(0, 1);
    m_out.writeUB(vertical ? 1 : 0, 1);
    m_out.writeSB(delta, bits);
}

void ShapeRecordWriter::curvedEdge(std::int32_t controlDx, std::int32_t controlDy, std::int32_t anchorDx, std::int32_t anchorDy)
{
    const int bits = edgeBits({controlDx, controlDy, anchorDx, anchorDy});
    m_out.writeUB(1, 1); // edge record
    m_out.writeUB(0, 1); // curved
    m_out.writeUB(static_cast<std::uint32_t>(bits - 2), 4);
    m_out.writeSB(controlDx, bits);
    m_out.writeSB(controlDy, bits);
    m_out.writeSB(anchorDx, bits);
    m_out.writeSB(anchorDy, bits);
}

void ShapeRecordWriter::end()
{
    m_out.writeUB(0, 6);
    m_out.align();
}

} // namespace kivora::swf
