#pragma once

#include "platform/core/bindstatus.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kivora::catalogtool {

// What the transfers of a fetch tell the thread that reports: bytes as they arrive, and
// each title's end. Safe from any thread.
class FetchTally
{
public:
    struct Outcome
    {
        std::size_t item = 0;
        HRESULT result = S_OK;
        std::uint64_t bytes = 0; // of the title, when fetched
    };

    void addBytes(std::uint64_t count) { m_bytes += count; }
    std::uint64_t bytes() const { return m_bytes.load(); }

    void finish(const Outcome &outcome);
    // The ends reported since the last call, in the order they happened.
    std::vector<Outcome> takeFinished();

private:
    std::atomic<std::uint64_t> m_bytes{0};
    std::mutex m_mutex;
    std::vector<Outcome> m_finished;
};

} // namespace kivora::catalogtool
