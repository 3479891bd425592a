#pragma once

#include "tests/support/conditionwait.h"
#include "tests/support/gate.h"

#include <httplib.h>

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace kivora::test {

// "http://<address>:<port>" followed by `path`.
inline std::u16string loopbackUrl(int port, std::u16string_view path, std::string_view address = "127.0.0.1")
{
    std::u16string text = u"http://";
    for (const char c : std::string(address) + ':' + std::to_string(port))
        text += static_cast<char16_t>(c);
    text += path;
    return text;
}

// An HTTP server on a loopback address (127.0.0.1 unless told) and an ephemeral port.
// Register handlers on server(), then start(). The stall gate is opened before the server
// stops, so handlers that wait on it end.
class LoopbackServer
{
public:
    LoopbackServer() = default;
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    ~LoopbackServer()
    {
        m_stall.open();
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    httplib::Server &server() { return m_server; }
    Gate &stallGate() { return m_stall; }

    bool start(std::string_view address = "127.0.0.1")
    {
        m_address = address;
        m_port = m_server.bind_to_any_port(m_address);
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        return waitUntil([this] { return m_server.is_running(); });
    }

    int port() const { return m_port; }

    std::u16string url(std::u16string_view path) const { return loopbackUrl(m_port, path, m_address); }

private:
    httplib::Server m_server;
    Gate m_stall;
    std::thread m_thread;
    std::string m_address = "127.0.0.1";
    int m_port = 0;
};

} // namespace kivora::test
