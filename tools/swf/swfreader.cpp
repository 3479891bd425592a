#include "tools/swf/swfreader.h"

#include "tools/swf/bitreader.h"

#include <QByteArray>

#include <cstring>

namespace kivora::swf {

namespace {

SwfParseResult failure(std::string message)
{
    SwfParseResult result;
    result.error = std::move(message);
    return result;
}

} // namespace

Rect readRect(BitReader &in)
{
    in.align();
    const int bits = static_cast<int>(in.readUB(5));
    Rect rect;
    rect.xMin = in.readSB(bits);
    rect.xMax = in.readSB(bits);
    rect.yMin = in.readSB(bits);
    rect.yMax = in.readSB(bits);
    in.align();
    return rect;
}

SwfParseResult parseSwf(const Bytes &bytes)
{
    if (bytes.size() < 8)
        return failure("shorter than a SWF header");
    const bool compressed = bytes[0] == 'C';
    if ((bytes[0] != 'F' && !compressed) || bytes[1] != 'W' || bytes[2] != 'S')
        return failure("not an FWS or CWS signature");

    SwfParseResult result;
    SwfFile &file = result.file;
    std::memcpy(file.signature, bytes.data(), 3);
    file.version = bytes[3];
    file.fileLength = static_cast<std::uint32_t>(bytes[4] | (bytes[5] << 8) | (bytes[6] << 16))
                    | (static_cast<std::uint32_t>(bytes[7]) << 24);
    if (file.fileLength < 8)
        return failure("length field smaller than the header");

    if (compressed) {
        // qUncompress wants the expected size (big-endian) before the zlib stream.
        const std::uint32_t expected = file.fileLength - 8;
        QByteArray packed;
        packed.reserve(static_cast<qsizetype>(bytes.size() - 4));
        for (int shift = 24; shift >= 0; shift -= 8)
            packed.append(static_cast<char>((expected >> shift) & 0xff));
        packed.append(reinterpret_cast<const char *>(bytes.data() + 8), static_cast<qsizetype>(bytes.size() - 8));
        const QByteArray body = qUncompress(packed);
        if (body.isEmpty() && expected != 0)
            return failure("zlib stream does not decompress");
        file.data.assign(bytes.begin(), bytes.begin() + 8);
        file.data.insert(file.data.end(), body.begin(), body.end());
    } else {
        file.data = bytes;
    }
    if (file.data.size() != file.fileLength)
        return failure("length field " + std::to_string(file.fileLength) + " but the file has "
                       + std::to_string(file.data.size()) + " bytes");

    BitReader in(file.data.data() + 8, file.data.size() - 8);
    file.frameSize = readRect(in);
    file.frameRate = in.readU16() / 256.0;
    file.frameCount = in.readU16();
    if (in.overrun())
        return failure("truncated header");

    std::size_t position = 8 + in.bytePosition();
    const std::size_t size = file.data.size();
    while (position < size) {
        if (size - position < 2)
            return failure("truncated tag header");
        const std::uint16_t codeAndLength = static_cast<std::uint16_t>(file.data[position] | (file.data[position + 1] << 8));
        position += 2;
        SwfTag tag;
        tag.code = static_cast<std::uint16_t>(codeAndLength >> 6);
        tag.length = codeAndLength & 0x3f;
        if (tag.length == 0x3f) {
            if (size - position < 4)
                return failure("truncated long tag header");
            tag.length = static_cast<std::uint32_t>(file.data[position] | (file.data[position + 1] << 8)
                                                    | (file.data[position + 2] << 16))
                       | (static_cast<std::uint32_t>(file.data[position + 3]) << 24);
            position += 4;
        }
        if (tag.length > size - position)
            return failure("tag " + std::to_string(tag.code) + " runs past the end of the file");
        tag.bodyOffset = position;
        position += tag.length;
        file.tags.push_back(tag);
        if (tag.code == static_cast<std::uint16_t>(TagCode::End)) {
            if (position != size)
                return failure("bytes after the End tag");
            result.ok = true;
            return result;
        }
    }
    return failure("no End tag");
}

} // namespace kivora::swf
