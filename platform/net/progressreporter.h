#pragma once

#include <cstdint>

namespace kivora {

class IBindStatusCallback;

// Turns the byte counts of one transfer into OnProgress reports: (0, 0, 1) first, a report
// per received block once at least `minimumStep` bytes and a thousandth of the total, or
// else a hundredth of the total, have arrived since the last one, and (n, n, end) once the transfer is complete. A report during the transfer never
// claims the whole resource: only completion does. Counts above 32 bits are scaled down
// together so that their ratio stays true. Whatever the sink answers or throws, the
// transfer goes on.
class ProgressReporter
{
public:
    explicit ProgressReporter(IBindStatusCallback *sink, std::uint64_t minimumStep = 64 * 1024);

    void started(const char16_t *statusText);
    // `total` is 0 while no length has been announced.
    void received(std::uint64_t bytesSoFar, std::uint64_t total);
    void finished(std::uint64_t bytes);

private:
    void report(std::uint64_t progress, std::uint64_t total, std::uint32_t status, const char16_t *text);

    IBindStatusCallback *m_sink;
    std::uint64_t m_minimumStep;
    std::uint64_t m_lastReported = 0;
    bool m_dataReported = false;
};

} // namespace kivora
