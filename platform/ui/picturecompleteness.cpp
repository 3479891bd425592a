#include "platform/ui/picturecompleteness.h"

#include <cstdint>

namespace kivora {

namespace {

std::uint32_t bigEndian32(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

bool completePng(const QByteArray &bytes)
{
    if (!bytes.startsWith(pngSignature))
        return false;
    // Each chunk: length, type, data, CRC.
    qsizetype at = pngSignature.size();
    while (bytes.size() - at >= 12) {
        const std::uint32_t length = bigEndian32(bytes, at);
        if (length > static_cast<std::uint32_t>(bytes.size() - at - 12))
            return false;
        if (bytes.mid(at + 4, 4) == "IEND")
            return true;
        at += 12 + static_cast<qsizetype>(length);
    }
    return false;
}

bool completeJpeg(const QByteArray &bytes)
{
    return bytes.size() >= 4 && bytes.startsWith("\xff\xd8") && bytes.endsWith("\xff\xd9");
}

} // namespace

QSize pngHeaderSize(const QByteArray &header)
{
    if (header.size() < 24 || !header.startsWith(pngSignature) || header.mid(12, 4) != "IHDR")
        return {};
    const std::uint32_t width = bigEndian32(header, 16);
    const std::uint32_t height = bigEndian32(header, 20);
    if (width > 0x7fffffffu || height > 0x7fffffffu)
        return {};
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

bool looksLikeCompletePicture(const QByteArray &bytes)
{
    return completePng(bytes) || completeJpeg(bytes);
}

} // namespace kivora
