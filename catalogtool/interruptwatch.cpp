#include "catalogtool/interruptwatch.h"

#include <cerrno>
#include <cstdint>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace kivora::catalogtool {

InterruptWatch::InterruptWatch()
{
    sigemptyset(&m_watched);
    sigaddset(&m_watched, SIGINT);
    sigaddset(&m_watched, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_watched, &m_previous);
    m_signals = signalfd(-1, &m_watched, SFD_CLOEXEC | SFD_NONBLOCK);
    m_wakeups = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

InterruptWatch::~InterruptWatch()
{
    // An interrupt that came after the last wait() finds the work done: taken here, it
    // does not kill the process the moment the signals are let through again.
    if (m_signals >= 0) {
        signalfd_siginfo info;
        while (read(m_signals, &info, sizeof info) == sizeof info) {
        }
        close(m_signals);
    }
    if (m_wakeups >= 0)
        close(m_wakeups);
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool InterruptWatch::wait(std::chrono::milliseconds timeout)
{
    pollfd watched[2] = {{m_signals, POLLIN, 0}, {m_wakeups, POLLIN, 0}};
    if (poll(watched, 2, static_cast<int>(timeout.count())) <= 0)
        return false;
    if (watched[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t ignored = read(m_wakeups, &count, sizeof count);
    }
    return (watched[0].revents & POLLIN) != 0;
}

void InterruptWatch::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = write(m_wakeups, &one, sizeof one);
}

} // namespace kivora::catalogtool
