#include "tests/support/silentserver.h"

#include "tests/support/loopbacksocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kivora::test {

SilentServer::SilentServer()
    : m_fd(bindLoopbackSocket(m_port))
{
    if (::listen(m_fd, 16) != 0) {
        ::close(m_fd);
        throw std::runtime_error("a silent server cannot listen");
    }
    m_thread = std::thread([this] { takeConnections(); });
}

SilentServer::~SilentServer()
{
    m_stopping = true;
    m_thread.join();
    for (const int connection : m_connections)
        ::close(connection);
    ::close(m_fd);
}

void SilentServer::takeConnections()
{
    while (!m_stopping) {
        pollfd waiting{m_fd, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0)
            continue;
        const int connection = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        m_connections.push_back(connection);
        ++m_taken;
    }
}

} // namespace kivora::test
