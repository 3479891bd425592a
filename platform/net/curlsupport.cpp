#include "platform/net/curlsupport.h"

#include <curl/curl.h>

#include <mutex>

namespace kivora {

bool curlReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

} // namespace kivora
