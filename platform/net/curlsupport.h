#pragma once

#include "platform/net/curlapi.h"

namespace kivora {

// Loads and initialises libcurl once for the whole program, whichever thread asks first
// (curl_global_init itself is not thread-safe). False when libcurl cannot start.
bool curlReady();

// Name lookups and TLS sessions kept between transfers and shared by every thread (an
// https server then resumes its session instead of a full handshake). Connections are not:
// libcurl does not support sharing them between threads that run at once, so a thread
// keeps its own by reusing its easy handle. Null when libcurl cannot share; transfers
// then look names up each time.
CURLSH *sharedNameLookups();

// An easy handle (null when libcurl could not make one) and the request headers it was
// given, released together. A handle used for one transfer after another keeps its
// connections between them.
struct CurlEasyHandle
{
    CURL *handle = curlReady() ? curlApi()->easy_init() : nullptr;
    curl_slist *headers = nullptr;
    CurlEasyHandle() = default;
    CurlEasyHandle(const CurlEasyHandle &) = delete;
    CurlEasyHandle &operator=(const CurlEasyHandle &) = delete;
    ~CurlEasyHandle()
    {
        if (handle)
            curlApi()->easy_cleanup(handle);
        if (headers)
            curlApi()->slist_free_all(headers);
    }
    // Forgets the options and headers of the last transfer; its connections stay.
    void reset()
    {
        if (handle)
            curlApi()->easy_reset(handle);
        if (headers)
            curlApi()->slist_free_all(headers);
        headers = nullptr;
    }
};

} // namespace kivora
