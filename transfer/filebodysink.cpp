#include "transfer/filebodysink.h"

#include "transfer/nativeexecutable.h"
#include "platform/core/sha256.h"
#include "platform/core/stagedfile.h"

#include <cstring>

namespace kivora {

FileBodySink::FileBodySink(StagedFile &file, Sha256 *digest, std::uint64_t maxBytes)
    : m_file(file)
    , m_digest(digest)
    , m_maxBytes(maxBytes)
{
}

std::optional<FetchError> FileBodySink::write(std::string_view bytes)
{
    m_received += bytes.size();
    if (m_maxBytes != 0 && m_received > m_maxBytes)
        return FetchError{FetchError::Kind::Protocol, "the body is longer than " + std::to_string(m_maxBytes) + " bytes", 0};
    if (m_head.size() < elfHeaderSize)
        m_head.append(bytes.substr(0, elfHeaderSize - m_head.size()));
    if (m_digest)
        m_digest->update(bytes);
    if (!m_file.write(bytes))
        return FetchError{FetchError::Kind::Storage, std::string("cannot write the file: ") + std::strerror(m_file.error()), 0};
    return std::nullopt;
}

} // namespace kivora
