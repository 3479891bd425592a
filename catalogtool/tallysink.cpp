#include "catalogtool/tallysink.h"

#include "catalogtool/fetchtally.h"

namespace kivora::catalogtool {

HRESULT TallySink::OnProgress(std::uint32_t ulProgress, std::uint32_t, std::uint32_t, const char16_t *)
{
    // Reports only grow during one transfer; a smaller one belongs to a new start.
    if (ulProgress > m_received) {
        m_tally.addBytes(ulProgress - m_received);
        m_received = ulProgress;
    }
    return S_OK;
}

} // namespace kivora::catalogtool
