#pragma once

#include "platform/core/bindstatus.h"

#include <cstdint>

namespace kivora::catalogtool {

class FetchTally;

// The progress sink of one title's transfer: adds what arrives to the fetch's byte count.
// Used on the transfer's thread only.
class TallySink final : public BindStatusCallback
{
public:
    explicit TallySink(FetchTally &tally) : m_tally(tally) {}

    HRESULT OnProgress(std::uint32_t ulProgress, std::uint32_t ulProgressMax, std::uint32_t ulStatusCode,
                       const char16_t *szStatusText) override;

    // Bytes of this title reported so far.
    std::uint64_t received() const { return m_received; }

private:
    FetchTally &m_tally;
    std::uint64_t m_received = 0;
};

} // namespace kivora::catalogtool
