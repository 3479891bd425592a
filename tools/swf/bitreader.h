#pragma once

#include <cstddef>
#include <cstdint>

namespace kivora::swf {

// Reads SWF bit fields from a borrowed buffer. Reading past the end sets
// overrun() and yields zero bits, so callers check once after a record.
class BitReader {
public:
    BitReader(const std::uint8_t *data, std::size_t size);

    std::uint32_t readUB(int bits);
    std::int32_t readSB(int bits);
    void align();
    std::uint8_t readU8();
    std::uint16_t readU16();
    std::uint32_t readU32();

    std::size_t bytePosition() const { return m_byte; }
    bool overrun() const { return m_overrun; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_byte = 0;
    int m_bit = 0;
    bool m_overrun = false;
};

} // namespace kivora::swf
