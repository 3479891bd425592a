#pragma once

#include <atomic>
#include <thread>
#include <vector>

namespace kivora::test {

// A loopback TCP server that takes every connection and never answers, as a hung server
// does. Connections stay open until the object goes.
class SilentServer
{
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    int port() const { return m_port; }
    int connectionsTaken() const { return m_taken; }

private:
    void takeConnections();

    int m_port = 0; // before m_fd: set while m_fd is made
    int m_fd = -1;
    std::atomic<int> m_taken{0};
    std::atomic<bool> m_stopping{false};
    std::vector<int> m_connections;
    std::thread m_thread;
};

} // namespace kivora::test
