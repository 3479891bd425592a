#pragma once

#include "fetcherror.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace kivora {

// Writes a file so that it appears complete or not at all: the bytes go to a uniquely
// named temporary file beside the target, which replaces the target only on commit.
// The temporary file is removed unless it was committed.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // Creates the temporary file (O_EXCL, mode 0666 less the umask).
    std::optional<FetchError> open();
    std::optional<FetchError> write(std::string_view bytes);
    // Sets the execute bits (0755) when asked, flushes the data to disk and renames the
    // temporary file over the target.
    std::optional<FetchError> commit(bool executable);

    const std::filesystem::path &temporaryPath() const { return m_temporary; }

private:
    void discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_fd = -1;
};

} // namespace kivora
