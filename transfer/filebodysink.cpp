#include "transfer/filebodysink.h"

#include "platform/net/sha256.h"
#include "platform/net/stagedfile.h"

#include <cstring>

namespace kivora {

FileBodySink::FileBodySink(StagedFile &file, Sha256 *digest)
    : m_file(file)
    , m_digest(digest)
{
}

std::optional<FetchError> FileBodySink::write(std::string_view bytes)
{
    if (m_digest)
        m_digest->update(bytes);
    if (!m_file.write(bytes))
        return FetchError{FetchError::Kind::Storage, std::string("cannot write the file: ") + std::strerror(m_file.error()), 0};
    return std::nullopt;
}

} // namespace kivora
