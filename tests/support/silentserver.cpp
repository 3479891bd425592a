#include "silentserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kivora::test {

SilentServer::SilentServer()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(m_fd, 16) != 0
        || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &size) != 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        throw std::runtime_error("no loopback port for a silent server");
    }
    m_port = ntohs(address.sin_port);
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
