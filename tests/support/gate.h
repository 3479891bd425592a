#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kivora::test {

// Holds server handlers back until the test opens it (or a generous limit passes, so a
// failing test cannot hang the server's shutdown).
class Gate
{
public:
    void open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }

    bool wait()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(60), [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

} // namespace kivora::test
