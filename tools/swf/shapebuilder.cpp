#include "tools/swf/shapebuilder.h"

#include "tools/swf/bitwriter.h"
#include "tools/swf/shaperecordwriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kivora::swf {

namespace {

std::int32_t twips(double value)
{
    return static_cast<std::int32_t>(std::lround(value));
}

} // namespace

void ShapeBuilder::moveTo(double x, double y)
{
    closeContour();
    m_startX = m_penX = twips(x);
    m_startY = m_penY = twips(y);
    m_commands.push_back({Command::Kind::Move, 0, 0, m_penX, m_penY});
    m_open = true;
}

void ShapeBuilder::lineTo(double x, double y)
{
    const std::int32_t tx = twips(x);
    const std::int32_t ty = twips(y);
    if (!m_open || (tx == m_penX && ty == m_penY))
        return;
    m_commands.push_back({Command::Kind::Line, 0, 0, tx, ty});
    m_penX = tx;
    m_penY = ty;
}

void ShapeBuilder::quadTo(double controlX, double controlY, double x, double y)
{
    const std::int32_t cx = twips(controlX);
    const std::int32_t cy = twips(controlY);
    const std::int32_t tx = twips(x);
    const std::int32_t ty = twips(y);
    if (!m_open)
        return;
    const bool controlOnPen = cx == m_penX && cy == m_penY;
    const bool controlOnAnchor = cx == tx && cy == ty;
    if (controlOnPen || controlOnAnchor) {
        // Rounding flattened the curve; a zero control delta is legal but
        // some players draw such records badly, so use a line.
        lineTo(x, y);
        return;
    }
    m_commands.push_back({Command::Kind::Quad, cx, cy, tx, ty});
    m_penX = tx;
    m_penY = ty;
}

void ShapeBuilder::closeContour()
{
    if (!m_open)
        return;
    if (m_penX != m_startX || m_penY != m_startY) {
        m_commands.push_back({Command::Kind::Line, 0, 0, m_startX, m_startY});
        m_penX = m_startX;
        m_penY = m_startY;
    }
    // A contour that never left its start point adds nothing.
    if (m_commands.back().kind == Command::Kind::Move)
        m_commands.pop_back();
    m_open = false;
}

Rect ShapeBuilder::bounds() const
{
    if (m_commands.empty())
        return {};
    Rect rect{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(),
              std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()};
    auto include = [&rect](std::int32_t x, std::int32_t y) {
        rect.xMin = std::min(rect.xMin, x);
        rect.xMax = std::max(rect.xMax, x);
        rect.yMin = std::min(rect.yMin, y);
        rect.yMax = std::max(rect.yMax, y);
    };
    for (const Command &command : m_commands) {
        include(command.x, command.y);
        if (command.kind == Command::Kind::Quad)
            include(command.controlX, command.controlY);
    }
    return rect;
}

Bytes ShapeBuilder::defineShape3Body(std::uint16_t shapeId, const Rgba &fill)
{
    closeContour();
    BitWriter out;
    out.writeU16(shapeId);
    writeRect(out, bounds());
    out.writeU8(1);    // one fill style
    out.writeU8(0x00); // solid
    writeRgba(out, fill);
    out.writeU8(0); // no line styles
    out.writeUB(1, 4); // fill index bits
    out.writeUB(0, 4); // line index bits

    ShapeRecordWriter records(out, 1, 0);
    std::int32_t penX = 0;
    std::int32_t penY = 0;
    bool first = true;
    for (const Command &command : m_commands) {
        switch (command.kind) {
        case Command::Kind::Move: {
            ShapeRecordWriter::StyleChange change;
            change.moveX = command.x;
            change.moveY = command.y;
            if (first)
                change.fillStyle1 = 1;
            records.styleChange(change);
            first = false;
            break;
        }
        case Command::Kind::Line:
            records.straightEdge(command.x - penX, command.y - penY);
            break;
        case Command::Kind::Quad:
            records.curvedEdge(command.controlX - penX, command.controlY - penY,
                               command.x - command.controlX, command.y - command.controlY);
            break;
        }
        penX = command.x;
        penY = command.y;
    }
    records.end();
    return out.take();
}

} // namespace kivora::swf
