#pragma once

#include <cstdint>

namespace kivora {

// The progress rule of a category window: the new DownloadProgress after one OnProgress
// report. Status 1 (a transfer begins) resets it to 0; a report with a total sets it to
// 100 × progress / total rounded to the nearest whole number, halves to even, also when
// the report has status 1. Otherwise the value is kept. A percentage beyond the range of
// the value (bytes far above the total) saturates.
std::int32_t nextDownloadProgress(std::int32_t DownloadProgress, std::uint32_t ulProgress,
                                  std::uint32_t ulProgressMax, std::uint32_t ulStatusCode);

// The position a 0..100 progress bar shows for a value.
int clampToBar(std::int32_t DownloadProgress);

} // namespace kivora
