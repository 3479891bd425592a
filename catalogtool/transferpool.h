#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace kivora::catalogtool {

// Runs `work` once for each item 0..count-1 on a few threads, items handed out in order,
// then `ended` once on the last thread to finish. Both run on the pool's threads and must
// not throw.
class TransferPool
{
public:
    using Work = std::function<void(std::size_t item)>;

    TransferPool(std::size_t count, unsigned threads, Work work, std::function<void()> ended = {});
    ~TransferPool();
    TransferPool(const TransferPool &) = delete;
    TransferPool &operator=(const TransferPool &) = delete;

    // No item starts after this; those under way run to their end.
    void stop() { m_stopped = true; }
    // Every thread has ended.
    bool finished() const { return m_running.load() == 0; }

private:
    void serve();

    std::size_t m_count;
    Work m_work;
    std::function<void()> m_ended;
    std::atomic<std::size_t> m_next{0};
    std::atomic<unsigned> m_running{0};
    std::atomic<bool> m_stopped{false};
    std::vector<std::thread> m_threads;
};

} // namespace kivora::catalogtool
