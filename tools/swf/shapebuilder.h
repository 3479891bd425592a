#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfrecords.h"

#include <cstdint>
#include <vector>

namespace kivora::swf {

// Collects closed contours in absolute twips and encodes them as one
// filled DefineShape3. Every edge carries fill style 1, so overlapping
// contours and holes follow the player's even-odd fill.
class ShapeBuilder {
public:
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void quadTo(double controlX, double controlY, double x, double y);
    // Closes the open contour with a straight edge back to its start.
    void closeContour();

    bool isEmpty() const { return m_commands.empty(); }
    Rect bounds() const;
    // Closes any open contour, then encodes the tag body (no tag header).
    Bytes defineShape3Body(std::uint16_t shapeId, const Rgba &fill);

private:
    struct Command {
        enum class Kind { Move, Line, Quad } kind;
        std::int32_t controlX;
        std::int32_t controlY;
        std::int32_t x;
        std::int32_t y;
    };

    std::vector<Command> m_commands;
    std::int32_t m_startX = 0;
    std::int32_t m_startY = 0;
    std::int32_t m_penX = 0;
    std::int32_t m_penY = 0;
    bool m_open = false;
};

} // namespace kivora::swf
