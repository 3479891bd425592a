#include "tools/catalog/interruptwatch.h"

#include <cerrno>
#include <ctime>

namespace kivora::catalogtool {

InterruptWatch::InterruptWatch()
{
    sigemptyset(&m_watched);
    sigaddset(&m_watched, SIGINT);
    sigaddset(&m_watched, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_watched, &m_previous);
}

InterruptWatch::~InterruptWatch()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool InterruptWatch::wait(std::chrono::milliseconds timeout)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(timeout);
    timespec limit{};
    limit.tv_sec = static_cast<time_t>(seconds.count());
    limit.tv_nsec = static_cast<long>(std::chrono::nanoseconds(timeout - seconds).count());
    for (;;) {
        if (sigtimedwait(&m_watched, nullptr, &limit) >= 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

} // namespace kivora::catalogtool
