#pragma once

#include "transfer/bodysink.h"

#include <cstdint>
#include <string>

namespace kivora {

class StagedFile;
class Sha256;

// Streams a body into a file being written, feeding a digest on the way when given one.
// A body that grows past `maxBytes` (0: no limit) fails as soon as it does, so that
// nothing beyond the limit is ever written.
class FileBodySink : public BodySink
{
public:
    FileBodySink(StagedFile &file, Sha256 *digest, std::uint64_t maxBytes = 0);
    std::optional<FetchError> write(std::string_view bytes) override;

    // The body's first bytes, as many as an ELF header holds: what kind of file it is.
    const std::string &head() const { return m_head; }

private:
    StagedFile &m_file;
    Sha256 *m_digest;
    std::uint64_t m_maxBytes;
    std::uint64_t m_received = 0;
    std::string m_head;
};

} // namespace kivora
