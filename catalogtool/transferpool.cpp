#include "catalogtool/transferpool.h"

#include <algorithm>

namespace kivora::catalogtool {

TransferPool::TransferPool(std::size_t count, unsigned threads, Work work, std::function<void()> ended)
    : m_count(count)
    , m_work(std::move(work))
    , m_ended(std::move(ended))
{
    const auto used = static_cast<unsigned>(std::min<std::size_t>(std::max(threads, 1u), count));
    m_running = used;
    m_threads.reserve(used);
    for (unsigned i = 0; i < used; ++i)
        m_threads.emplace_back([this] { serve(); });
}

TransferPool::~TransferPool()
{
    stop();
    for (auto &thread : m_threads)
        thread.join();
}

void TransferPool::serve()
{
    while (!m_stopped) {
        const std::size_t item = m_next.fetch_add(1);
        if (item >= m_count)
            break;
        m_work(item);
    }
    if (--m_running == 0 && m_ended)
        m_ended();
}

} // namespace kivora::catalogtool
