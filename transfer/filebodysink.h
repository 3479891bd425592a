#pragma once

#include "transfer/bodysink.h"

namespace kivora {

class StagedFile;
class Sha256;

// Streams a body into a file being written, feeding a digest on the way when given one.
class FileBodySink : public BodySink
{
public:
    FileBodySink(StagedFile &file, Sha256 *digest);
    std::optional<FetchError> write(std::string_view bytes) override;

private:
    StagedFile &m_file;
    Sha256 *m_digest;
};

} // namespace kivora
