#pragma once

#include <curl/curl.h>

namespace kivora {

// Initialises libcurl once for the whole program, whichever thread asks first
// (curl_global_init itself is not thread-safe). False when libcurl cannot start.
bool curlReady();

// One transfer's easy handle (null when libcurl could not make one) and the request
// headers it was given, released together.
struct CurlEasyHandle
{
    CURL *handle = curl_easy_init();
    curl_slist *headers = nullptr;
    CurlEasyHandle() = default;
    CurlEasyHandle(const CurlEasyHandle &) = delete;
    CurlEasyHandle &operator=(const CurlEasyHandle &) = delete;
    ~CurlEasyHandle()
    {
        if (handle)
            curl_easy_cleanup(handle);
        curl_slist_free_all(headers);
    }
};

} // namespace kivora
