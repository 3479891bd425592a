#pragma once

#include "platform/core/bindstatus.h"
#include "platform/core/windowmessages.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace kivora::test {

struct ProgressReport
{
    std::uint32_t progress;
    std::uint32_t total;
    std::uint32_t status;
    std::thread::id thread;
};

// The window a transfer job reports to, by either of the two routes the jobs use: as a
// bind-status sink it records every OnProgress report; as a window (window()) it records the
// lParam of every wm_downprogres posted to it. Safe to read from any thread.
class ProgressCollector : public BindStatusCallback
{
public:
    ProgressCollector() = default;
    ~ProgressCollector()
    {
        // A job still posting reaches nothing once the handle is detached.
        if (m_window)
            WindowMessages::detach(m_window);
    }
    ProgressCollector(const ProgressCollector &) = delete;
    ProgressCollector &operator=(const ProgressCollector &) = delete;

    std::vector<ProgressReport> reports() const
    {
        std::lock_guard lock(m_mutex);
        return m_reports;
    }

    std::size_t count() const
    {
        std::lock_guard lock(m_mutex);
        return m_reports.size();
    }

    HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                       const char16_t *) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_reports.push_back({ulProgress, ulProgressMax, ulStatusCode, std::this_thread::get_id()});
        }
        m_changed.notify_all();
        return E_NOTIMPL;
    }

    // Attached on first use only, so a collector that no job posts to (one in static
    // storage, say) never touches the window registry.
    WindowHandle window()
    {
        if (!m_window)
            m_window = WindowMessages::attach([this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
                {
                    std::lock_guard lock(m_mutex);
                    if (message == wm_downprogres && wParam == 0)
                        m_messages.push_back(lParam);
                    else
                        m_otherMessage = true;
                }
                m_changed.notify_all();
            });
        return m_window;
    }

    std::vector<std::intptr_t> messages() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }

    // Waits for the job's last window message (100 or -1) and answers every one so far.
    std::vector<std::intptr_t> waitForFinal(std::chrono::milliseconds timeout = std::chrono::seconds(60))
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

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<ProgressReport> m_reports;
    std::vector<std::intptr_t> m_messages;
    bool m_otherMessage = false;
    WindowHandle m_window = 0;
};

} // namespace kivora::test
