#include "platform/net/curlapi.h"

#include "platform/core/diagnostics.h"

#include <dlfcn.h>

#include <mutex>

namespace kivora {

namespace {

template<typename Function>
bool resolve(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

const CurlApi *loadCurl()
{
    static CurlApi api;
    // The name of the library's ABI, which Debian's libcurl4 (of any TLS flavour) provides.
    void *library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        qCWarning(transferLog, "libcurl cannot be loaded: %s", ::dlerror());
        return nullptr;
    }
    const bool complete = resolve(library, "curl_global_init", api.global_init)
        && resolve(library, "curl_easy_init", api.easy_init) && resolve(library, "curl_easy_setopt", api.easy_setopt)
        && resolve(library, "curl_easy_reset", api.easy_reset)
        && resolve(library, "curl_easy_perform", api.easy_perform)
        && resolve(library, "curl_easy_getinfo", api.easy_getinfo)
        && resolve(library, "curl_easy_cleanup", api.easy_cleanup)
        && resolve(library, "curl_easy_strerror", api.easy_strerror)
        && resolve(library, "curl_share_init", api.share_init)
        && resolve(library, "curl_share_setopt", api.share_setopt)
        && resolve(library, "curl_share_cleanup", api.share_cleanup)
        && resolve(library, "curl_slist_append", api.slist_append)
        && resolve(library, "curl_slist_free_all", api.slist_free_all);
    if (!complete) {
        qCWarning(transferLog, "libcurl lacks a call the program makes");
        return nullptr;
    }
    return &api;
}

} // namespace

const CurlApi *curlApi()
{
    static std::once_flag once;
    static const CurlApi *api = nullptr;
    std::call_once(once, [] { api = loadCurl(); });
    return api;
}

} // namespace kivora
