#pragma once

#include "platform/net/bindstatus.h"

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

// A sink that records every OnProgress report; safe to read from another thread.
class ProgressCollector : public BindStatusCallback
{
public:
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
        std::lock_guard lock(m_mutex);
        m_reports.push_back({ulProgress, ulProgressMax, ulStatusCode, std::this_thread::get_id()});
        return E_NOTIMPL;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<ProgressReport> m_reports;
};

} // namespace kivora::test
