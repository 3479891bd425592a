#pragma once

#include "tools/swf/bytes.h"

#include <cstdint>

namespace kivora::swf {

// Packs SWF bit fields most significant bit first and the byte-aligned
// little-endian integers that sit between them.
class BitWriter {
public:
    void writeUB(std::uint32_t value, int bits);
    void writeSB(std::int32_t value, int bits);
    // 16.16 fixed point, packed like a signed field.
    void writeFB(std::int32_t fixed, int bits) { writeSB(fixed, bits); }
    // Pads the current byte with zero bits.
    void align();

    void writeU8(std::uint8_t value);
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeBytes(const Bytes &bytes);

    const Bytes &bytes() const { return m_bytes; }
    Bytes take();

    // Smallest field widths that hold a value; zero needs no bits.
    static int unsignedBits(std::uint32_t value);
    static int signedBits(std::int32_t value);

private:
    Bytes m_bytes;
    int m_bitPos = 0; // bits already used in the last byte, 0 when aligned
};

} // namespace kivora::swf
