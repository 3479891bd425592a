#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace kivora {

// Limits of one status probe. The probe may run on the user-interface thread, so an
// unreachable or silent server must give up quickly.
struct HttpStatusProbeOptions
{
    std::chrono::milliseconds connectTimeout{5000};
    // The whole exchange, up to the end of the response head.
    std::chrono::milliseconds totalTimeout{10000};
    // HEAD instead of GET: for asking a server about many resources in a row, where a
    // body the server has started to send would only be thrown away.
    bool head = false;
    // Redirections followed, to http addresses only; 0 answers the redirection's own status.
    long maxRedirects = 0;
};

// Sends a GET (or HEAD) for `url` (http only) and answers the status code of the final response
// head, or nothing when no response head arrived (bad address, no connection, time-out).
// Agent "InetURL:/1.0"; proxies as the environment configures them (loopback never goes
// through one); caches asked to go to the server; redirections followed only as the
// options allow; the body is never read. Safe on any thread; blocks until the head has arrived or a limit passed.
std::optional<long> httpStatus(std::u16string_view url, const HttpStatusProbeOptions &options = {});

} // namespace kivora
