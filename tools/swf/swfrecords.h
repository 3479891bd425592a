#pragma once

#include <cstdint>

namespace kivora::swf {

class BitWriter;

enum class TagCode : std::uint16_t {
    End = 0,
    ShowFrame = 1,
    SetBackgroundColor = 9,
    DoAction = 12,
    DefineSound = 14,
    StartSound = 15,
    PlaceObject2 = 26,
    DefineShape3 = 32,
    FileAttributes = 69,
};

// Coordinates are in twips (1/20 pixel).
struct Rect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
};

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};

// x' = x * scaleX + y * rotateSkew1 + translateX
// y' = x * rotateSkew0 + y * scaleY + translateY
struct Matrix {
    double scaleX = 1.0;
    double scaleY = 1.0;
    double rotateSkew0 = 0.0;
    double rotateSkew1 = 0.0;
    std::int32_t translateX = 0;
    std::int32_t translateY = 0;

    static Matrix translation(std::int32_t x, std::int32_t y);
    // Uniform scale and rotation (radians, clockwise on screen) about the origin, then a move.
    static Matrix scaledRotated(double scale, double radians, std::int32_t x, std::int32_t y);
};

constexpr std::int32_t twipsPerPixel = 20;

// Each writer leaves the stream byte-aligned after its record.
void writeRect(BitWriter &out, const Rect &rect);
void writeMatrix(BitWriter &out, const Matrix &matrix);
void writeRgb(BitWriter &out, const Rgba &colour);
void writeRgba(BitWriter &out, const Rgba &colour);
// Short form below 63 bytes of body, long form from 63 on.
void writeTagHeader(BitWriter &out, TagCode code, std::uint32_t bodyLength);

std::int32_t toFixed16(double value);

} // namespace kivora::swf
