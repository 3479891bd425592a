#include "refusingport.h"

#include "loopbacksocket.h"

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

} // namespace kivora::test
