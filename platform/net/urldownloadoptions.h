#pragma once

#include "platform/core/bindstatus.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivora {

struct CurlEasyHandle;

// The largest body a download takes, in bytes: the build's KIVORA_TITLE_SIZE_LIMIT.
std::uint64_t titleSizeLimit();

// Limits of one transfer. The defaults are those of URLDownloadToFile.
struct UrlDownloadOptions
{
    std::chrono::milliseconds connectTimeout{15000};
    // The transfer fails when no byte of the answer arrives during this long.
    std::chrono::milliseconds stallTimeout{30000};
    // Redirections followed, to http addresses only.
    long maxRedirects = 5;
    // false forces the named staging file that is otherwise only the fallback
    // for file systems without unnamed files.
    bool unnamedStagingFile = true;
    // Where the bytes of a cut-off transfer wait for the next try of the same address;
    // empty: the program directory's staging area. A folder on another file system than
    // the destination's keeps nothing.
    std::string stagingArea;
    // A body past this size is refused as it arrives, and nothing of it is kept.
    std::uint64_t sizeLimit = titleSizeLimit();
    // A handle the calling thread keeps from one download to the next, so that a run of
    // titles from one server keeps its connection; null: a handle of this download's own.
    // Never used by two threads at once.
    CurlEasyHandle *handle = nullptr;
};

// URLDownloadToFile with explicit limits.
HRESULT URLDownloadToFile(std::u16string_view url, std::u16string_view path, IBindStatusCallback *sink,
                          const UrlDownloadOptions &options);

} // namespace kivora
