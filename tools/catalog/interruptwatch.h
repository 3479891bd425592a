#pragma once

#include <chrono>

#include <signal.h>

namespace kivora::catalogtool {

// Ctrl-C (SIGINT) and SIGTERM as something the main thread waits for rather than a
// handler. Make it before any thread: threads inherit the blocked signals, so only the
// waiting thread ever takes them, and a transfer's system calls are never interrupted.
class InterruptWatch
{
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Waits at most `timeout`; true when an interrupt has arrived.
    bool wait(std::chrono::milliseconds timeout);

private:
    sigset_t m_watched;
    sigset_t m_previous;
};

} // namespace kivora::catalogtool
