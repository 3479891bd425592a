#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfrecords.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kivora::swf {

// Tag bodies (without their headers) for the tags a title card uses.

Bytes fileAttributesBody();
Bytes backgroundColourBody(const Rgba &colour);
// Places `characterId` at `depth`, or moves what is there when no id is given.
Bytes placeObject2Body(std::uint16_t depth, std::optional<std::uint16_t> characterId, const Matrix &matrix);
// Uncompressed little-endian 16-bit mono samples.
Bytes defineSoundBody(std::uint16_t soundId, int sampleRate, const std::vector<std::int16_t> &samples);
// Starts the sound unless it is already playing.
Bytes startSoundBody(std::uint16_t soundId);
// ActionScript 1: gotoAndPlay of a zero-based frame.
Bytes gotoAndPlayBody(std::uint16_t frameIndex);
// ActionScript 1: loadMovieNum(url, level); a relative url (UTF-8) is resolved by the player
// against the movie's own address.
Bytes loadMovieNumBody(std::string_view url, int level);

} // namespace kivora::swf
