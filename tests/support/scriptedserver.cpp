#include "tests/support/scriptedserver.h"

#include "tests/support/loopbacksocket.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kivora::test {

namespace {

constexpr std::size_t kMaxRequestHead = 1 << 20;

std::size_t contentLengthOf(std::string_view head)
{
    // Good enough for requests written by the clients under test.
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const std::size_t at = lower.find("\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return static_cast<std::size_t>(std::strtoull(lower.c_str() + at + 16, nullptr, 10));
}

} // namespace

ScriptedExchange ScriptedServer::reply(std::string bytes)
{
    return ScriptedExchange{{ScriptedChunk{std::move(bytes), {}}}, true};
}

ScriptedServer::ScriptedServer(std::vector<ScriptedExchange> script, Family family)
    : m_script(std::move(script))
    , m_family(family)
{
    const int domain = family == Family::Ipv4 ? AF_INET : AF_INET6;
    const int s = ::socket(domain, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return;
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (family == Family::Ipv4) {
        auto *a = reinterpret_cast<sockaddr_in *>(&storage);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof(sockaddr_in);
    } else {
        auto *a = reinterpret_cast<sockaddr_in6 *>(&storage);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        length = sizeof(sockaddr_in6);
    }
    if (::bind(s, reinterpret_cast<sockaddr *>(&storage), length) != 0 || ::listen(s, 16) != 0
        || ::getsockname(s, reinterpret_cast<sockaddr *>(&storage), &length) != 0) {
        ::close(s);
        return;
    }
    m_port = ntohs(family == Family::Ipv4 ? reinterpret_cast<sockaddr_in *>(&storage)->sin_port
                                          : reinterpret_cast<sockaddr_in6 *>(&storage)->sin6_port);
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        ::close(s);
        return;
    }
    m_listener = s;
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_thread = std::thread([this] { run(); });
}

ScriptedServer::~ScriptedServer()
{
    if (m_listener < 0)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeWrite, &byte, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

std::string ScriptedServer::authority() const
{
    const std::string host = m_family == Family::Ipv4 ? "127.0.0.1" : "[::1]";
    return host + ":" + std::to_string(m_port);
}

std::string ScriptedServer::url(std::string_view target) const
{
    return "http://" + authority() + std::string(target);
}

std::vector<std::string> ScriptedServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool ScriptedServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

bool ScriptedServer::waitForFinishedConnections(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_finished >= count; });
}

std::size_t ScriptedServer::acceptedConnections() const
{
    std::lock_guard lock(m_mutex);
    return m_accepted;
}

std::size_t ScriptedServer::finishedConnections() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

bool ScriptedServer::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, duration, [&] { return m_stopping; });
}

void ScriptedServer::run()
{
    std::size_t index = 0;
    const auto stopping = [this] {
        std::lock_guard lock(m_mutex);
        return m_stopping;
    };
    acceptConnections(m_listener, stopping, [&](int connection) {
        {
            std::lock_guard lock(m_mutex);
            ++m_accepted;
        }
        if (!m_script.empty())
            serve(connection, m_script[std::min(index, m_script.size() - 1)]);
        ++index;
        ::close(connection);
        {
            std::lock_guard lock(m_mutex);
            ++m_finished;
        }
        m_changed.notify_all();
    });
}

bool ScriptedServer::readRequest(int connection, std::string &request)
{
    char buffer[16384];
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    for (;;) {
        if (headEnd == std::string::npos) {
            headEnd = request.find("\r\n\r\n");
            if (headEnd != std::string::npos)
                wanted = headEnd + 4 + contentLengthOf(std::string_view(request).substr(0, headEnd + 2));
        }
        if (headEnd != std::string::npos && request.size() >= wanted)
            return true;
        if (request.size() > kMaxRequestHead && headEnd == std::string::npos)
            return false;
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents)
            return false;
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        request.append(buffer, static_cast<std::size_t>(n));
    }
}

void ScriptedServer::waitForPeerClose(int connection, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return;
        pollfd fds[2] = {{connection, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        const int n = ::poll(fds, 2, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || fds[1].revents)
            return;
        if (::recv(connection, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

void ScriptedServer::serve(int connection, const ScriptedExchange &exchange)
{
    std::string request;
    const bool complete = readRequest(connection, request);
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
    }
    m_changed.notify_all();
    if (!complete)
        return;

    for (const ScriptedChunk &chunk : exchange.chunks) {
        if (chunk.pauseBefore.count() > 0 && !pause(chunk.pauseBefore))
            return;
        std::string_view rest = chunk.bytes;
        while (!rest.empty()) {
            const ssize_t n = ::send(connection, rest.data(), rest.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
    }
    if (exchange.closeAfter) {
        // Half-close first, so that everything sent is delivered rather than reset.
        ::shutdown(connection, SHUT_WR);
        waitForPeerClose(connection, std::chrono::seconds(10));
    } else {
        waitForPeerClose(connection, std::chrono::hours(1));
    }
}

} // namespace kivora::test
