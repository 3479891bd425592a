#pragma once

#include "httpclient.h"

#include <chrono>
#include <optional>
#include <string>

namespace kivora {

// What a fetch job may be asked beyond the address, the path and the window.
struct FetchOptions
{
    // Give the saved file the execute bits (0755) before it appears, as for a program.
    bool executable = false;
    // The SHA-256 the body must have, as 64 hex digits; without it any body is taken.
    // Any other text, the empty one included, fails the job before it fetches anything.
    std::optional<std::string> expectedSha256;
    std::chrono::milliseconds connectTimeout = HttpClient::kDefaultConnectTimeout;
    std::chrono::milliseconds readTimeout = HttpClient::kDefaultReadTimeout;
};

} // namespace kivora
