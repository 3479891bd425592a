#pragma once

#include <cstdint>
#include <optional>

namespace kivora::swf {

class BitWriter;

// Writes the bit-packed records of a SHAPE: style changes, edges and the
// end record. Records follow one another without alignment; end() aligns.
class ShapeRecordWriter {
public:
    // Preconditions: fillBits and lineBits fit the shape's style arrays (0..15).
    ShapeRecordWriter(BitWriter &out, int fillBits, int lineBits);

    struct StyleChange {
        std::optional<std::int32_t> moveX; // moveX and moveY are set together
        std::optional<std::int32_t> moveY;
        std::optional<std::uint32_t> fillStyle0;
        std::optional<std::uint32_t> fillStyle1;
        std::optional<std::uint32_t> lineStyle;
    };

    // Moves are absolute, relative to the shape's origin.
    void styleChange(const StyleChange &change);
    // Horizontal and vertical edges use the short forms. Edges too long for
    // one record are split in two.
    void straightEdge(std::int32_t dx, std::int32_t dy);
    // Deltas are relative: control from the pen, anchor from the control.
    void curvedEdge(std::int32_t controlDx, std::int32_t controlDy, std::int32_t anchorDx, std::int32_t anchorDy);
    void end();

    // The widest edge delta a record can hold (17-bit signed).
    static constexpr std::int32_t maxEdgeDelta = 65535;

private:
    BitWriter &m_out;
    int m_fillBits;
    int m_lineBits;
};

} // namespace kivora::swf
