#include "transfer/httpconnection.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace kivora {

namespace {

using Clock = std::chrono::steady_clock;

FetchError systemError(FetchError::Kind kind, const std::string &what, int error)
{
    return {kind, what + ": " + std::strerror(error), 0};
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

// Answers 1 when ready, 0 on time-out, -1 on error (errno set).
int waitFor(int socket, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{socket, events, 0};
        const int n = ::poll(&p, 1, millisecondsUntil(deadline));
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

struct AddrInfoDeleter
{
    void operator()(addrinfo *info) const { ::freeaddrinfo(info); }
};

} // namespace

HttpConnection::~HttpConnection()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

std::optional<FetchError> HttpConnection::open(const std::string &host, std::uint16_t port, std::chrono::milliseconds timeout)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0)
        return FetchError{FetchError::Kind::Resolve, "cannot resolve " + host + ": " + ::gai_strerror(rc), 0};
    const std::unique_ptr<addrinfo, AddrInfoDeleter> addresses(found);

    const Clock::time_point deadline = Clock::now() + timeout;
    FetchError last{FetchError::Kind::Connect, "no address for " + host, 0};
    for (const addrinfo *a = addresses.get(); a; a = a->ai_next) {
        const int s = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (s < 0) {
            last = systemError(FetchError::Kind::Connect, "cannot create a socket", errno);
            continue;
        }
        int error = 0;
        if (::connect(s, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const int ready = waitFor(s, POLLOUT, deadline);
                if (ready == 0) {
                    ::close(s);
                    return FetchError{FetchError::Kind::Timeout, "connecting to " + host + " timed out", 0};
                }
                socklen_t length = sizeof error;
                if (ready < 0)
                    error = errno;
                else if (::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
        }
        if (error == 0) {
            m_socket = s;
            return std::nullopt;
        }
        ::close(s);
        last = systemError(FetchError::Kind::Connect, "cannot connect to " + host + ":" + std::to_string(port), error);
    }
    return last;
}

std::optional<FetchError> HttpConnection::sendAll(std::string_view bytes, std::chrono::milliseconds timeout)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int ready = waitFor(m_socket, POLLOUT, Clock::now() + timeout);
            if (ready == 0)
                return FetchError{FetchError::Kind::Timeout, "sending the request timed out", 0};
            if (ready < 0)
                return systemError(FetchError::Kind::Network, "cannot send the request", errno);
            continue;
        }
        return systemError(FetchError::Kind::Network, "cannot send the request", errno);
    }
    return std::nullopt;
}

HttpConnection::Received HttpConnection::receive(char *buffer, std::size_t capacity, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const ssize_t n = ::recv(m_socket, buffer, capacity, 0);
        if (n >= 0)
            return {static_cast<std::size_t>(n), std::nullopt};
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return {0, systemError(FetchError::Kind::Network, "cannot receive", errno)};
        const int ready = waitFor(m_socket, POLLIN, deadline);
        if (ready == 0) {
            const auto seconds = std::chrono::duration<double>(timeout).count();
            return {0, FetchError{FetchError::Kind::Timeout, "no data for " + std::to_string(seconds) + " s", 0}};
        }
        if (ready < 0)
            return {0, systemError(FetchError::Kind::Network, "cannot receive", errno)};
    }
}

} // namespace kivora
