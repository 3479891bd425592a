#pragma once

namespace kivora::test {

// A TCP port on 127.0.0.1 that is bound but never listens, so connecting is refused
// for as long as the object lives (no other test can take the port meanwhile).
class RefusingPort
{
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort &) = delete;
    RefusingPort &operator=(const RefusingPort &) = delete;

    int port() const { return m_port; }

private:
    int m_port = 0; // before m_fd: set while m_fd is made
    int m_fd = -1;
};

// A port that refuses connections for the rest of the test program. A port that was only
// bound, read and released could be taken by another test running meanwhile.
int closedPort();

} // namespace kivora::test
