#pragma once

#include "platform/net/windowmessages.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kivora::test {

// A stand-in window that records the lParam of every wm_downprogres posted to it.
class MessageCollector
{
public:
    MessageCollector();
    ~MessageCollector();
    MessageCollector(const MessageCollector &) = delete;
    MessageCollector &operator=(const MessageCollector &) = delete;

    WindowHandle handle() const { return m_handle; }
    // Waits for the job's last message (100 or -1) and answers every message so far.
    std::vector<std::intptr_t> waitForFinal(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    std::vector<std::intptr_t> messages() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::intptr_t> m_messages;
    bool m_otherMessage = false;
    WindowHandle m_handle = 0;
};

} // namespace kivora::test
