#pragma once

#include "platform/net/curlapi.h"

namespace kivora {

// Loads and initialises libcurl once for the whole program, whichever thread asks first
// (curl_global_init itself is not thread-safe). False when libcurl cannot start.
bool curlReady();

// Connections and name lookups kept between downloads, shared by every thread: a run of
// titles from one server connects once per transfer slot, not once per title. Null when
// libcurl cannot share them; transfers then connect each time.
CURLSH *sharedConnections();

// One transfer's easy handle (null when libcurl could not make one) and the request
// headers it was given, released together.
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
};

} // namespace kivora
