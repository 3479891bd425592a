#pragma once

#include "catalogtool/progressline.h"
#include "catalogtool/progresstext.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kivora::catalogtool {

class FetchTally;
struct TitleFile;

// Reports a fetch under way on standard output, from the main thread: what the transfers
// have tallied becomes steps, refreshes and failure messages of the progress line.
class FetchReport
{
public:
    // `pending` maps the transfers' items to `titles`; `present` titles need no transfer.
    FetchReport(const std::vector<TitleFile> &titles, const std::vector<std::size_t> &pending, std::size_t present,
                FetchTally &tally);

    void start();
    // Takes in the titles that have ended since the last call.
    void update();
    void close() { m_line.close(); }

    std::size_t fetched() const { return m_fetched; }
    const std::vector<std::string> &failures() const { return m_failures; }
    std::chrono::milliseconds elapsed() const;

private:
    FetchStanding standing() const;

    const std::vector<TitleFile> &m_titles;
    const std::vector<std::size_t> &m_pending;
    FetchTally &m_tally;
    ProgressLine m_line;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    std::size_t m_present;
    std::size_t m_done;
    std::size_t m_fetched = 0;
    std::uint64_t m_fetchedBytes = 0;
    std::vector<std::string> m_failures;
};

} // namespace kivora::catalogtool
