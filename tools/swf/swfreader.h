#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfrecords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kivora::swf {

class BitReader;

struct SwfTag {
    std::uint16_t code = 0;
    std::uint32_t length = 0;
    std::size_t bodyOffset = 0; // into SwfFile::data
};

struct SwfFile {
    char signature[3] = {};  // "FWS" or "CWS"
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0; // the header's length field
    Rect frameSize;
    double frameRate = 0;
    std::uint16_t frameCount = 0;
    std::vector<SwfTag> tags; // up to and including End, when present
    Bytes data; // the whole file, decompressed
};

struct SwfParseResult {
    bool ok = false;
    std::string error;
    SwfFile file;
};

// Reads the header and the tag list of a SWF file (FWS or CWS). Fails on a
// truncated header, a tag that runs past the end or bytes after End.
SwfParseResult parseSwf(const Bytes &bytes);

Rect readRect(BitReader &in);

} // namespace kivora::swf
