#include "tests/transfer_fetch/messagecollector.h"

#include <algorithm>

namespace kivora::test {

MessageCollector::MessageCollector()
{
    m_handle = WindowMessages::attach([this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
        {
            std::lock_guard lock(m_mutex);
            if (message == 2025 && wParam == 0)
                m_messages.push_back(lParam);
            else
                m_otherMessage = true;
        }
        m_changed.notify_all();
    });
}

MessageCollector::~MessageCollector()
{
    WindowMessages::detach(m_handle);
}

std::vector<std::intptr_t> MessageCollector::waitForFinal(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, timeout, [&] {
        return m_otherMessage || std::find(m_messages.begin(), m_messages.end(), 100) != m_messages.end()
            || std::find(m_messages.begin(), m_messages.end(), -1) != m_messages.end();
    });
    if (m_otherMessage)
        m_messages.push_back(-1000); // makes any comparison fail visibly
    return m_messages;
}

std::vector<std::intptr_t> MessageCollector::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

} // namespace kivora::test
