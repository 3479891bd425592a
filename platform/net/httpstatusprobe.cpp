#include "platform/net/httpstatusprobe.h"

#include "platform/net/transportsecurity.h"
#include "platform/net/urlencoding.h"

#include "platform/net/curlsupport.h"

#include <curl/curl.h>

#include <cstdlib>
#include <string>

namespace kivora {

namespace {

struct Probe
{
    CURL *curl = nullptr;
    bool following = false;
    std::optional<long> status;
};

// Runs inside curl_easy_perform for every header line, the empty line ending each head
// included. Stops the transfer at the end of the first final head, before any body.
std::size_t onHeader(char *data, std::size_t size, std::size_t count, void *context)
{
    auto *probe = static_cast<Probe *>(context);
    const std::size_t length = size * count;
    const std::string_view line(data, length);
    if (line != "\r\n" && line != "\n")
        return length;
    long code = 0;
    curlApi()->easy_getinfo(probe->curl, CURLINFO_RESPONSE_CODE, &code);
    if (code >= 100 && code < 200)
        return length; // an interim head: the real one follows
    if (probe->following && code >= 300 && code < 400)
        return length; // curl goes on to the new address, or ends with this status
    probe->status = code;
    return 0;
}

// The environment's exceptions, with the loopback addresses added.
std::string noProxyList()
{
    std::string list = "127.0.0.1,localhost,::1";
    for (const char *name : {"no_proxy", "NO_PROXY"}) {
        if (const char *value = std::getenv(name); value && *value) {
            list += ',';
            list += value;
            break;
        }
    }
    return list;
}

} // namespace

std::optional<long> httpStatus(std::u16string_view url, const HttpStatusProbeOptions &options)
{
    const std::optional<std::string> address = wireAddress(url);
    if (!address || !curlReady())
        return std::nullopt;
    CurlEasyHandle easy;
    CURL *curl = easy.handle;
    if (!curl)
        return std::nullopt;
    for (const char *header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        curl_slist *grown = curlApi()->slist_append(easy.headers, header);
        if (!grown)
            return std::nullopt;
        easy.headers = grown;
    }
    const std::string noProxy = noProxyList();
    Probe probe;
    probe.curl = curl;
    probe.following = options.maxRedirects > 0;

    const CurlApi &api = *curlApi();
    api.easy_setopt(curl, CURLOPT_URL, address->c_str());
    restrictToScheme(curl, *address);
    api.easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    api.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, probe.following ? 1L : 0L);
    api.easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    api.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    api.easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    api.easy_setopt(curl, CURLOPT_USERAGENT, "InetURL:/1.0");
    api.easy_setopt(curl, CURLOPT_HTTPHEADER, easy.headers);
    api.easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str());
    if (options.head)
        api.easy_setopt(curl, CURLOPT_NOBODY, 1L);
    api.easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
    api.easy_setopt(curl, CURLOPT_HEADERDATA, &probe);
    // A response without a body ends normally; one with a body is stopped at its head.
    api.easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char *, std::size_t, std::size_t, void *) -> std::size_t { return 0; });

    const CURLcode result = api.easy_perform(curl);
    // A redirection without a new address ends the transfer normally, its head passed over
    // above; too many of them end it with an error and no status.
    if (!probe.status && probe.following && result == CURLE_OK) {
        long code = 0;
        curlApi()->easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        if (code > 0)
            probe.status = code;
    }
    return probe.status;
}

} // namespace kivora
