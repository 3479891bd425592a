#include "catalogtool/fetchreport.h"

#include "catalogtool/failuretext.h"
#include "catalogtool/fetchtally.h"
#include "catalogtool/titleselection.h"

#include <cstdio>

namespace kivora::catalogtool {

FetchReport::FetchReport(const std::vector<TitleFile> &titles, const std::vector<std::size_t> &pending,
                         std::size_t present, FetchTally &tally)
    : m_titles(titles)
    , m_pending(pending)
    , m_tally(tally)
    , m_line(stdout, ProgressLine::isTerminal(stdout))
    , m_present(present)
    , m_done(present)
{
}

void FetchReport::start()
{
    if (m_present > 0)
        m_line.message("Already present: " + std::to_string(m_present) + " of " + std::to_string(m_titles.size())
                       + " titles.");
    m_line.refresh(formatStanding(standing()));
}

void FetchReport::update()
{
    for (const auto &outcome : m_tally.takeFinished()) {
        ++m_done;
        if (outcome.result == S_OK) {
            ++m_fetched;
            m_fetchedBytes += outcome.bytes;
        } else {
            m_failures.push_back(m_titles[m_pending[outcome.item]].name + ": " + describeFailure(outcome.result));
            m_line.message("failed: " + m_failures.back());
        }
        m_line.step(formatStanding(standing()));
    }
    m_line.refresh(formatStanding(standing()));
}

std::chrono::milliseconds FetchReport::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_started);
}

FetchStanding FetchReport::standing() const
{
    FetchStanding standing;
    standing.titlesDone = m_done;
    standing.titlesTotal = m_titles.size();
    standing.bytes = m_tally.bytes();
    standing.elapsed = elapsed();
    standing.timeLeft =
        estimateTimeLeft(standing.bytes, standing.elapsed, m_fetchedBytes, m_fetched, m_titles.size() - m_done);
    return standing;
}

} // namespace kivora::catalogtool
