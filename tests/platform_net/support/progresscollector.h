#pragma once

#include "bindstatus.h"

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
class ProgressCollector : public IBindStatusCallback
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

    HRESULT OnStartBinding(std::uint32_t, void *) override { return E_NOTIMPL; }
    HRESULT GetPriority(std::int32_t *) override { return E_NOTIMPL; }
    HRESULT OnLowResource(std::uint32_t) override { return E_NOTIMPL; }
    HRESULT OnStopBinding(HRESULT, const char16_t *) override { return E_NOTIMPL; }
    HRESULT GetBindInfo(std::uint32_t *, void *) override { return E_NOTIMPL; }
    HRESULT OnDataAvailable(std::uint32_t, std::uint32_t, void *, void *) override { return E_NOTIMPL; }
    HRESULT OnObjectAvailable(const void *, void *) override { return E_NOTIMPL; }

private:
    mutable std::mutex m_mutex;
    std::vector<ProgressReport> m_reports;
};

} // namespace kivora::test
