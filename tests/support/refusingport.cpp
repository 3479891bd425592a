#include "tests/support/refusingport.h"

#include "tests/support/loopbacksocket.h"

#include <unistd.h>

namespace kivora::test {

RefusingPort::RefusingPort()
    : m_fd(bindLoopbackSocket(m_port))
{
}

RefusingPort::~RefusingPort()
{
    ::close(m_fd);
}

int closedPort()
{
    static const RefusingPort port;
    return port.port();
}

} // namespace kivora::test
