#include "tests/support/silentserver.h"

#include "tests/support/loopbacksocket.h"

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
    acceptConnections(m_fd, [this] { return m_stopping.load(); }, [this](int connection) {
        m_connections.push_back(connection);
        ++m_taken;
    });
}

} // namespace kivora::test
