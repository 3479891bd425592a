#include "platform/core/detachablebindstatus.h"

namespace kivora {

DetachableBindStatus::DetachableBindStatus(IBindStatusCallback *target)
    : m_target(target)
{
}

void DetachableBindStatus::detach()
{
    std::lock_guard lock(m_mutex);
    m_target = nullptr;
}

HRESULT DetachableBindStatus::OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax,
                                         std::uint32_t ulStatusCode, const char16_t *szStatusText)
{
    // The call is made under the lock so that detach() waits for it to end.
    std::lock_guard lock(m_mutex);
    if (m_target)
        m_target->OnProgress(ulProgress, ulProgressMax, ulStatusCode, szStatusText);
    return E_NOTIMPL;
}

} // namespace kivora
