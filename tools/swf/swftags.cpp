#include "tools/swf/swftags.h"

#include "tools/swf/bitwriter.h"

#include <stdexcept>
#include <string>

namespace kivora::swf {

Bytes fileAttributesBody()
{
    BitWriter out;
    out.writeU32(0); // ActionScript 1/2, local playback only
    return out.take();
}

Bytes backgroundColourBody(const Rgba &colour)
{
    BitWriter out;
    writeRgb(out, colour);
    return out.take();
}

Bytes placeObject2Body(std::uint16_t depth, std::optional<std::uint16_t> characterId, const Matrix &matrix)
{
    BitWriter out;
    constexpr std::uint8_t hasMatrix = 0x04;
    constexpr std::uint8_t hasCharacter = 0x02;
    constexpr std::uint8_t move = 0x01;
    out.writeU8(characterId ? static_cast<std::uint8_t>(hasMatrix | hasCharacter) : static_cast<std::uint8_t>(hasMatrix | move));
    out.writeU16(depth);
    if (characterId)
        out.writeU16(*characterId);
    writeMatrix(out, matrix);
    return out.take();
}

Bytes defineSoundBody(std::uint16_t soundId, int sampleRate, const std::vector<std::int16_t> &samples)
{
    int rateCode = 0;
    switch (sampleRate) {
    case 5512: rateCode = 0; break;
    case 11025: rateCode = 1; break;
    case 22050: rateCode = 2; break;
    case 44100: rateCode = 3; break;
    default: throw std::invalid_argument("unsupported sample rate");
    }
    BitWriter out;
    out.writeU16(soundId);
    out.writeUB(3, 4); // uncompressed, little-endian
    out.writeUB(static_cast<std::uint32_t>(rateCode), 2);
    out.writeUB(1, 1); // 16-bit
    out.writeUB(0, 1); // mono
    out.writeU32(static_cast<std::uint32_t>(samples.size()));
    for (std::int16_t sample : samples)
        out.writeU16(static_cast<std::uint16_t>(sample));
    return out.take();
}

Bytes startSoundBody(std::uint16_t soundId)
{
    BitWriter out;
    out.writeU16(soundId);
    out.writeU8(0x10); // SyncNoMultiple, no envelope, loops or points
    return out.take();
}

Bytes gotoAndPlayBody(std::uint16_t frameIndex)
{
    BitWriter out;
    out.writeU8(0x81); // ActionGotoFrame
    out.writeU16(2);
    out.writeU16(frameIndex);
    out.writeU8(0x06); // ActionPlay
    out.writeU8(0x00); // end of actions
    return out.take();
}

Bytes loadMovieNumBody(std::string_view url, int level)
{
    const std::string target = "_level" + std::to_string(level);
    const std::size_t length = url.size() + 1 + target.size() + 1;
    if (length > 0xffff)
        throw std::length_error("address too long for one action");
    BitWriter out;
    out.writeU8(0x83); // ActionGetURL
    out.writeU16(static_cast<std::uint16_t>(length));
    for (std::string_view text : {url, std::string_view(target)}) {
        out.writeBytes(Bytes(text.begin(), text.end()));
        out.writeU8(0);
    }
    out.writeU8(0x00); // end of actions
    return out.take();
}

} // namespace kivora::swf
