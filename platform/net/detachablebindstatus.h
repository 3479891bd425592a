#pragma once

#include "bindstatus.h"

#include <mutex>

namespace kivora {

// A progress sink that forwards OnProgress to a target until detach(). A window hands
// this object (shared) to its jobs and detaches it before it is destroyed, so a job that
// outlives the window reaches nothing. Every operation answers E_NOTIMPL; all but
// OnProgress do nothing.
// Precondition: the target's OnProgress only queues work and never waits for the
// thread that calls detach(), and detach() is not called from inside it.
class DetachableBindStatus final : public IBindStatusCallback
{
public:
    explicit DetachableBindStatus(IBindStatusCallback *target);

    // After this returns, no call to the target is in progress or will start.
    void detach();

    HRESULT OnStartBinding(std::uint32_t dwReserved, void *pib) override;
    HRESULT GetPriority(std::int32_t *nPriority) override;
    HRESULT OnLowResource(std::uint32_t reserved) override;
    HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                       const char16_t *szStatusText) override;
    HRESULT OnStopBinding(HRESULT hresult, const char16_t *szError) override;
    HRESULT GetBindInfo(std::uint32_t *grfBINDF, void *bindinfo) override;
    HRESULT OnDataAvailable(std::uint32_t grfBSCF, std::uint32_t dwSize, void *formatetc, void *stgmed) override;
    HRESULT OnObjectAvailable(const void *iid, void *punk) override;

private:
    std::mutex m_mutex;
    IBindStatusCallback *m_target;
};

} // namespace kivora
