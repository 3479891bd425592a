#include "platform/net/curlsupport.h"

#include <curl/curl.h>

#include <mutex>

namespace kivora {

namespace {

std::mutex &shareLock(curl_lock_data data)
{
    static std::mutex locks[CURL_LOCK_DATA_LAST];
    return locks[data < CURL_LOCK_DATA_LAST ? data : CURL_LOCK_DATA_SHARE];
}

void lockShare(CURL *, curl_lock_data data, curl_lock_access, void *)
{
    shareLock(data).lock();
}

void unlockShare(CURL *, curl_lock_data data, void *)
{
    shareLock(data).unlock();
}

} // namespace

CURLSH *sharedNameLookups()
{
    // Lives as long as the program: transfers may still run on their threads at exit.
    static CURLSH *const share = []() -> CURLSH * {
        if (!curlReady())
            return nullptr;
        CURLSH *made = curlApi()->share_init();
        if (!made)
            return nullptr;
        if (curlApi()->share_setopt(made, CURLSHOPT_LOCKFUNC, &lockShare) != CURLSHE_OK
            || curlApi()->share_setopt(made, CURLSHOPT_UNLOCKFUNC, &unlockShare) != CURLSHE_OK
            || curlApi()->share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK
            || curlApi()->share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
            curlApi()->share_cleanup(made);
            return nullptr;
        }
        return made;
    }();
    return share;
}

bool curlReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curlApi() && curlApi()->global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

} // namespace kivora
