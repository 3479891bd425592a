#include "tools/swf/jingle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kivora::swf {

namespace {

void appendNote(std::vector<std::int16_t> &samples, int sampleRate, double frequency, double seconds, double peak)
{
    const int count = static_cast<int>(seconds * sampleRate);
    const int attack = sampleRate / 100; // 10 ms, avoids a click at the start
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double rise = std::min(1.0, static_cast<double>(i) / attack);
        const double fall = std::exp(-4.0 * t / seconds) * (1.0 - static_cast<double>(i) / count);
        // A little second harmonic makes it sound like a bell rather than a beep.
        const double wave = std::sin(2.0 * std::numbers::pi * frequency * t)
                          + 0.25 * std::sin(4.0 * std::numbers::pi * frequency * t);
        samples.push_back(static_cast<std::int16_t>(std::lround(peak * 32767.0 * rise * fall * wave / 1.25)));
    }
}

} // namespace

std::vector<std::int16_t> synthesizeJingle(int sampleRate)
{
    std::vector<std::int16_t> samples;
    appendNote(samples, sampleRate, 659.25, 0.16, 0.3); // E5
    appendNote(samples, sampleRate, 880.00, 0.34, 0.3); // A5
    return samples;
}

} // namespace kivora::swf
