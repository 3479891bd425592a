#include "platform/net/progressreporter.h"

#include "platform/core/bindstatus.h"
#include "platform/core/bindstatuscodes.h"

#include <algorithm>
#include <limits>

namespace kivora {

ProgressReporter::ProgressReporter(IBindStatusCallback *sink, std::uint64_t minimumStep)
    : m_sink(sink)
    , m_minimumStep(minimumStep)
{
}

void ProgressReporter::started(const char16_t *statusText)
{
    report(0, 0, BINDSTATUS_FINDINGRESOURCE, statusText);
}

void ProgressReporter::received(std::uint64_t bytesSoFar, std::uint64_t total)
{
    if (total != 0 && bytesSoFar >= total)
        return;
    // Each report becomes an event on the user-interface thread: a thousand per transfer
    // are plenty for a percentage, and a small file still moves its bar in whole percents.
    std::uint64_t step = std::max(m_minimumStep, total / 1000);
    if (total != 0)
        step = std::min(step, std::max<std::uint64_t>(total / 100, 1));
    if (m_dataReported && bytesSoFar - m_lastReported < step)
        return;
    report(bytesSoFar, total, m_dataReported ? BINDSTATUS_DOWNLOADINGDATA : BINDSTATUS_BEGINDOWNLOADDATA, nullptr);
    m_dataReported = true;
    m_lastReported = bytesSoFar;
}

void ProgressReporter::finished(std::uint64_t bytes)
{
    report(bytes, bytes, BINDSTATUS_ENDDOWNLOADDATA, nullptr);
}

void ProgressReporter::report(std::uint64_t progress, std::uint64_t total, std::uint32_t status,
                              const char16_t *text)
{
    if (!m_sink)
        return;
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
    const std::uint64_t largest = std::max(progress, total);
    int shift = 0;
    while ((largest >> shift) > limit)
        ++shift;
    try {
        m_sink->OnProgress(static_cast<std::uint32_t>(progress >> shift), static_cast<std::uint32_t>(total >> shift),
                           status, text);
    } catch (...) {
        // A sink cannot stop the transfer, not even by throwing.
    }
}

} // namespace kivora
