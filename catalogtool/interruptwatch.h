#pragma once

#include <chrono>

#include <signal.h>

namespace kivora::catalogtool {

// Ctrl-C (SIGINT) and SIGTERM as something the main thread waits for rather than a
// handler. Make it before any thread: threads inherit the blocked signals, so only the
// waiting thread ever takes them, and a transfer's system calls are never interrupted.
// Other threads end a wait early through wake(), so the waiter reacts at once to their news.
class InterruptWatch
{
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch &) = delete;
    InterruptWatch &operator=(const InterruptWatch &) = delete;

    // Waits at most `timeout`, or until wake(); true when an interrupt has arrived.
    bool wait(std::chrono::milliseconds timeout);
    // Ends the current or next wait(). Safe from any thread.
    void wake();

private:
    sigset_t m_watched;
    sigset_t m_previous;
    int m_signals = -1;
    int m_wakeups = -1;
};

} // namespace kivora::catalogtool
