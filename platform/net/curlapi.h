#pragma once

#include <curl/curl.h>

namespace kivora {

// The libcurl calls the program makes, from the library loaded when the first transfer
// needs it rather than with the program: libcurl and what it brings (TLS, Kerberos, LDAP,
// SSH) cost every start several milliseconds, for transfers that may never come.
struct CurlApi
{
    decltype(&::curl_global_init) global_init;
    decltype(&::curl_easy_init) easy_init;
    decltype(&::curl_easy_setopt) easy_setopt;
    decltype(&::curl_easy_reset) easy_reset;
    decltype(&::curl_easy_perform) easy_perform;
    decltype(&::curl_easy_getinfo) easy_getinfo;
    decltype(&::curl_easy_cleanup) easy_cleanup;
    decltype(&::curl_easy_strerror) easy_strerror;
    decltype(&::curl_share_init) share_init;
    decltype(&::curl_share_setopt) share_setopt;
    decltype(&::curl_share_cleanup) share_cleanup;
    decltype(&::curl_slist_append) slist_append;
    decltype(&::curl_slist_free_all) slist_free_all;
};

// Loads libcurl once, whichever thread asks first. Null when it cannot be loaded.
const CurlApi *curlApi();

} // namespace kivora
