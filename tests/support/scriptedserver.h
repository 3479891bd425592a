#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kivora::test {

// Bytes to send, after an optional pause (which ends early when the server stops).
struct ScriptedChunk
{
    std::string bytes;
    std::chrono::milliseconds pauseBefore{0};
};

// What the server does on one connection once it has read the request.
struct ScriptedExchange
{
    std::vector<ScriptedChunk> chunks;
    // true: close after the last chunk. false: keep the connection open until the client
    // closes it or the server stops.
    bool closeAfter = true;
};

// A loopback HTTP server that plays a fixed script, for tests of clients.
// Connections are served one after another: connection i gets exchange i (the last one
// again when there are more connections than exchanges). For each it reads one request
// (the head up to the empty line, then a Content-Length body if the request has one),
// records its exact bytes, then sends the chunks.
class ScriptedServer
{
public:
    enum class Family { Ipv4, Ipv6 };

    explicit ScriptedServer(std::vector<ScriptedExchange> script, Family family = Family::Ipv4);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    // One exchange that sends `bytes` at once and closes.
    static ScriptedExchange reply(std::string bytes);

    // False when the loopback address of the family is not available here.
    bool listening() const { return m_listener >= 0; }
    std::uint16_t port() const { return m_port; }
    // "127.0.0.1:port" or "[::1]:port".
    std::string authority() const;
    // "http://" + authority() + target.
    std::string url(std::string_view target) const;

    // The requests received so far, one per connection, byte for byte.
    std::vector<std::string> requests() const;
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // Connections that have been completely served (closed by either side).
    bool waitForFinishedConnections(std::size_t count, std::chrono::milliseconds timeout) const;
    // At once, for tests that must keep their own event loop running while they wait.
    std::size_t acceptedConnections() const;
    std::size_t finishedConnections() const;

private:
    void run();
    void serve(int connection, const ScriptedExchange &exchange);
    bool readRequest(int connection, std::string &request);
    bool pause(std::chrono::milliseconds duration);
    void waitForPeerClose(int connection, std::chrono::milliseconds timeout);

    std::vector<ScriptedExchange> m_script;
    Family m_family;
    int m_listener = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::uint16_t m_port = 0;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopping = false;
    std::vector<std::string> m_requests;
    std::size_t m_accepted = 0;
    std::size_t m_finished = 0;
    std::thread m_thread;
};

} // namespace kivora::test
