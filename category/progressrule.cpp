#include "category/progressrule.h"

#include <limits>

namespace kivora {

std::int32_t nextDownloadProgress(std::int32_t DownloadProgress, std::uint32_t ulProgress,
                                  std::uint32_t ulProgressMax, std::uint32_t ulStatusCode)
{
    if (ulStatusCode == 1)
        DownloadProgress = 0;
    if (ulProgressMax == 0)
        return DownloadProgress;

    // 100 × 0xFFFFFFFF still fits in 64 bits, so the division is exact.
    const std::uint64_t scaled = std::uint64_t{100} * ulProgress;
    std::uint64_t percent = scaled / ulProgressMax;
    const std::uint64_t twiceRemainder = 2 * (scaled % ulProgressMax);
    if (twiceRemainder > ulProgressMax || (twiceRemainder == ulProgressMax && percent % 2 == 1))
        ++percent;

    constexpr std::uint64_t largest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(percent > largest ? largest : percent);
}

int clampToBar(std::int32_t DownloadProgress)
{
    if (DownloadProgress < 0)
        return 0;
    if (DownloadProgress > 100)
        return 100;
    return DownloadProgress;
}

} // namespace kivora
