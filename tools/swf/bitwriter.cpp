#include "tools/swf/bitwriter.h"

#include <stdexcept>
#include <utility>

namespace kivora::swf {

void BitWriter::writeUB(std::uint32_t value, int bits)
{
    if (bits < 0 || bits > 32)
        throw std::invalid_argument("bit field width out of range");
    if (bits < 32 && (value >> bits) != 0)
        throw std::out_of_range("value does not fit its bit field");
    for (int i = bits - 1; i >= 0; --i) {
        if (m_bitPos == 0)
            m_bytes.push_back(0);
        if ((value >> i) & 1u)
            m_bytes.back() |= static_cast<std::uint8_t>(0x80u >> m_bitPos);
        m_bitPos = (m_bitPos + 1) % 8;
    }
}

void BitWriter::writeSB(std::int32_t value, int bits)
{
    if (bits == 0 && value == 0)
        return;
    if (signedBits(value) > bits)
        throw std::out_of_range("value does not fit its signed bit field");
    const std::uint32_t mask = bits == 32 ? 0xffffffffu : ((1u << bits) - 1u);
    writeUB(static_cast<std::uint32_t>(value) & mask, bits);
}

void BitWriter::align()
{
    m_bitPos = 0;
}

void BitWriter::writeU8(std::uint8_t value)
{
    align();
    m_bytes.push_back(value);
}

void BitWriter::writeU16(std::uint16_t value)
{
    writeU8(static_cast<std::uint8_t>(value & 0xff));
    writeU8(static_cast<std::uint8_t>(value >> 8));
}

void BitWriter::writeU32(std::uint32_t value)
{
    writeU16(static_cast<std::uint16_t>(value & 0xffff));
    writeU16(static_cast<std::uint16_t>(value >> 16));
}

void BitWriter::writeBytes(const Bytes &bytes)
{
    align();
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

Bytes BitWriter::take()
{
    m_bitPos = 0;
    return std::exchange(m_bytes, {});
}

int BitWriter::unsignedBits(std::uint32_t value)
{
    int bits = 0;
    while (value != 0) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

int BitWriter::signedBits(std::int32_t value)
{
    if (value == 0)
        return 0;
    // A non-negative value needs a zero sign bit above its magnitude; a
    // negative one needs the bits of its complement plus the sign.
    const std::uint32_t magnitude = value < 0 ? ~static_cast<std::uint32_t>(value)
                                              : static_cast<std::uint32_t>(value);
    return unsignedBits(magnitude) + 1;
}

} // namespace kivora::swf
