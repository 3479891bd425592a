#include "tests/support/loopbacksocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kivora::test {

int bindLoopbackSocket(int &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), size) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("no free loopback port");
    }
    port = ntohs(address.sin_port);
    return fd;
}

void acceptConnections(int listener, const std::function<bool()> &stopping, const std::function<void(int)> &take)
{
    while (!stopping()) {
        pollfd waiting{listener, POLLIN, 0};
        if (::poll(&waiting, 1, 50) <= 0 || !(waiting.revents & POLLIN))
            continue;
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0)
            take(connection);
    }
}

} // namespace kivora::test
