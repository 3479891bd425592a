#include "tools/swf/swfmovie.h"

#include "tools/swf/bitwriter.h"

#include <QByteArray>

#include <cmath>
#include <stdexcept>

namespace kivora::swf {

SwfMovie::SwfMovie(const Rect &frameSize, double framesPerSecond, std::uint8_t version)
    : m_frameSize(frameSize)
    , m_framesPerSecond(framesPerSecond)
    , m_version(version)
{
}

void SwfMovie::addTag(TagCode code, const Bytes &body)
{
    BitWriter out;
    writeTagHeader(out, code, static_cast<std::uint32_t>(body.size()));
    out.writeBytes(body);
    const Bytes &tag = out.bytes();
    m_tags.insert(m_tags.end(), tag.begin(), tag.end());
}

void SwfMovie::showFrame()
{
    if (m_frameCount == 0xffff)
        throw std::length_error("too many frames for one movie");
    addTag(TagCode::ShowFrame);
    ++m_frameCount;
}

Bytes SwfMovie::serialize(Compression compression) const
{
    BitWriter body;
    writeRect(body, m_frameSize);
    body.writeU16(static_cast<std::uint16_t>(std::lround(m_framesPerSecond * 256.0)));
    body.writeU16(static_cast<std::uint16_t>(m_frameCount));
    body.writeBytes(m_tags);
    writeTagHeader(body, TagCode::End, 0);
    const Bytes &rest = body.bytes();

    const std::size_t fileLength = 8 + rest.size();
    if (fileLength > 0xffffffffu)
        throw std::length_error("movie too large");

    BitWriter file;
    file.writeU8(compression == Compression::Zlib ? 'C' : 'F');
    file.writeU8('W');
    file.writeU8('S');
    file.writeU8(m_version);
    file.writeU32(static_cast<std::uint32_t>(fileLength));
    if (compression == Compression::None) {
        file.writeBytes(rest);
        return file.take();
    }
    const QByteArray packed = qCompress(reinterpret_cast<const uchar *>(rest.data()), static_cast<qsizetype>(rest.size()), 9);
    // qCompress puts the uncompressed size (4 bytes, big-endian) before the zlib stream.
    file.writeBytes(Bytes(packed.begin() + 4, packed.end()));
    return file.take();
}

} // namespace kivora::swf
