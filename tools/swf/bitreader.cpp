#include "tools/swf/bitreader.h"

namespace kivora::swf {

BitReader::BitReader(const std::uint8_t *data, std::size_t size)
    : m_data(data)
    , m_size(size)
{
}

std::uint32_t BitReader::readUB(int bits)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bits; ++i) {
        std::uint32_t bit = 0;
        if (m_byte < m_size)
            bit = (m_data[m_byte] >> (7 - m_bit)) & 1u;
        else
            m_overrun = true;
        value = (value << 1) | bit;
        if (++m_bit == 8) {
            m_bit = 0;
            ++m_byte;
        }
    }
    return value;
}

std::int32_t BitReader::readSB(int bits)
{
    if (bits == 0)
        return 0;
    std::uint32_t value = readUB(bits);
    if (bits < 32 && (value & (1u << (bits - 1))))
        value |= ~((1u << bits) - 1u);
    return static_cast<std::int32_t>(value);
}

void BitReader::align()
{
    if (m_bit != 0) {
        m_bit = 0;
        ++m_byte;
    }
}

std::uint8_t BitReader::readU8()
{
    align();
    return static_cast<std::uint8_t>(readUB(8));
}

std::uint16_t BitReader::readU16()
{
    const std::uint16_t low = readU8();
    return static_cast<std::uint16_t>(low | (readU8() << 8));
}

std::uint32_t BitReader::readU32()
{
    const std::uint32_t low = readU16();
    return low | (static_cast<std::uint32_t>(readU16()) << 16);
}

} // namespace kivora::swf
