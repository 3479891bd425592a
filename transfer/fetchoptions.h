#pragma once

#include "transfer/httpclient.h"

#include <chrono>
#include <optional>
#include <string>

namespace kivora {

// What a fetch job may be asked beyond the address, the path and the window.
struct FetchOptions
{
    // Give the saved file the execute bits (0755) before it appears, as for a program.
    bool executable = false;
    // The SHA-256 of the body as 64 hex digits; absent accepts any body. A value that is not
    // 64 hex digits, empty included, fails the job before any request: a damaged digest
    // never turns the integrity check off.
    std::optional<std::string> expectedSha256;
    std::chrono::milliseconds connectTimeout = HttpClient::kDefaultConnectTimeout;
    std::chrono::milliseconds readTimeout = HttpClient::kDefaultReadTimeout;
};

} // namespace kivora
