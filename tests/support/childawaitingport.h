#pragma once

#include <functional>

#include <sys/types.h>
#include <unistd.h>

namespace kivora::test {

// A child process forked before the test starts any thread (a server among them): it
// waits for the port of the server the parent starts next, runs `body` with it and ends
// with its result.
class ChildAwaitingPort
{
public:
    explicit ChildAwaitingPort(const std::function<int(int port)> &body)
    {
        if (::pipe(m_pipe) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(m_pipe[1]);
            int port = 0;
            if (::read(m_pipe[0], &port, sizeof port) != sizeof port)
                ::_exit(2);
            ::_exit(body(port));
        }
        ::close(m_pipe[0]);
    }

    ~ChildAwaitingPort() { closePipe(); }

    ChildAwaitingPort(const ChildAwaitingPort &) = delete;
    ChildAwaitingPort &operator=(const ChildAwaitingPort &) = delete;

    // Negative when the fork failed.
    pid_t pid() const { return m_pid; }

    bool sendPort(int port)
    {
        const bool sent = ::write(m_pipe[1], &port, sizeof port) == static_cast<ssize_t>(sizeof port);
        closePipe();
        return sent;
    }

private:
    void closePipe()
    {
        if (m_pipe[1] >= 0)
            ::close(m_pipe[1]);
        m_pipe[1] = -1;
    }

    int m_pipe[2] = {-1, -1};
    pid_t m_pid = -1;
};

} // namespace kivora::test
