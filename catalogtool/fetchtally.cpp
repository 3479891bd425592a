#include "catalogtool/fetchtally.h"

#include <utility>

namespace kivora::catalogtool {

void FetchTally::finish(const Outcome &outcome)
{
    const std::lock_guard lock(m_mutex);
    m_finished.push_back(outcome);
}

std::vector<FetchTally::Outcome> FetchTally::takeFinished()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_finished, {});
}

} // namespace kivora::catalogtool
