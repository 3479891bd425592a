#pragma once

#include "transfer/httpclient.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kivora {

// What a fetch job may be asked beyond the address, the path and the window.
struct FetchOptions
{
    // The body is a program: it is saved only when it is an ELF program of this machine
    // (nativeexecutable.h), with the execute bits (0755) set before it appears.
    bool executable = false;
    // A body longer than this many bytes fails the job as it arrives; 0 sets no limit.
    std::uint64_t maxBodyBytes = 0;
    // The SHA-256 of the body as 64 hex digits; absent accepts any body. A value that is not
    // 64 hex digits, empty included, fails the job before any request: a damaged digest
    // never turns the integrity check off.
    std::optional<std::string> expectedSha256;
    std::chrono::milliseconds connectTimeout = HttpClient::kDefaultConnectTimeout;
    std::chrono::milliseconds readTimeout = HttpClient::kDefaultReadTimeout;
};

} // namespace kivora
