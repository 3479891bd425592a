#pragma once

#include "bodysink.h"

namespace kivora {

class AtomicFileWriter;
class Sha256;

// Streams a body into a file being written, feeding a digest on the way when given one.
class FileBodySink : public BodySink
{
public:
    FileBodySink(AtomicFileWriter &file, Sha256 *digest);
    std::optional<FetchError> write(std::string_view bytes) override;

private:
    AtomicFileWriter &m_file;
    Sha256 *m_digest;
};

} // namespace kivora
