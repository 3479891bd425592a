#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfrecords.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivora::swf::test {

// What an independent walk over shape records found.
struct DecodedShape {
    bool ok = false;
    std::string error;
    std::uint16_t shapeId = 0;
    Rect bounds;        // the tag's declared bounds (DefineShape3 only)
    Rect reach;         // every anchor and control point visited
    int moves = 0;
    int edges = 0;
    int curves = 0;
    int openContours = 0; // contours whose pen did not return to their start
    int fillStyleCount = 0;
    std::int32_t penX = 0;
    std::int32_t penY = 0;
};

// SHAPEWITHSTYLE (solid fills, RGBA) starting at `offset`; it must end, after
// its end record and alignment, exactly at offset + length.
DecodedShape decodeShapeWithStyles(const Bytes &data, std::size_t offset, std::size_t length);
DecodedShape decodeDefineShape3(const Bytes &data, std::size_t offset, std::size_t length);

} // namespace kivora::swf::test
