#pragma once

#include "platform/core/bindstatus.h"

#include <mutex>

namespace kivora {

// A progress sink that forwards OnProgress to a target until detach(). A window hands
// this object (shared) to its jobs and detaches it before it is destroyed, so a job that
// outlives the window reaches nothing. Every operation answers E_NOTIMPL; all but
// OnProgress do nothing.
// Precondition: the target's OnProgress only queues work and never waits for the
// thread that calls detach(), and detach() is not called from inside it.
class DetachableBindStatus final : public BindStatusCallback
{
public:
    explicit DetachableBindStatus(IBindStatusCallback *target);

    // After this returns, no call to the target is in progress or will start.
    void detach();

    HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                       const char16_t *szStatusText) override;

private:
    std::mutex m_mutex;
    IBindStatusCallback *m_target;
};

} // namespace kivora
