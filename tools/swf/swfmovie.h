#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfrecords.h"

#include <cstdint>

namespace kivora::swf {

enum class Compression { None, Zlib };

// A sequence of tags with the file header in front. The End tag is added
// when the movie is serialised.
class SwfMovie {
public:
    SwfMovie(const Rect &frameSize, double framesPerSecond, std::uint8_t version = 10);

    void addTag(TagCode code, const Bytes &body = {});
    void showFrame();
    int frameCount() const { return m_frameCount; }

    // "FWS" for no compression; "CWS" with the body after the header as a
    // zlib stream. The length field is the uncompressed file size either way.
    Bytes serialize(Compression compression) const;

private:
    Rect m_frameSize;
    double m_framesPerSecond;
    std::uint8_t m_version;
    int m_frameCount = 0;
    Bytes m_tags;
};

} // namespace kivora::swf
