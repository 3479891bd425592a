#include "filebodysink.h"

#include "atomicfilewriter.h"
#include "sha256.h"

namespace kivora {

FileBodySink::FileBodySink(AtomicFileWriter &file, Sha256 *digest)
    : m_file(file)
    , m_digest(digest)
{
}

std::optional<FetchError> FileBodySink::write(std::string_view bytes)
{
    if (m_digest)
        m_digest->update(bytes);
    return m_file.write(bytes);
}

} // namespace kivora
