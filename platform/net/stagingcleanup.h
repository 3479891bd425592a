#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kivora {

struct StagingLimits
{
    std::chrono::seconds maxAge = std::chrono::hours(24 * 30);
    std::uint64_t maxBytes = 500ull * 1024 * 1024;
};

// Removes from the staging area `area` the entries last written more than maxAge ago,
// then the oldest ones until the rest hold at most maxBytes, and whatever cannot be
// continued (a body without its record, a record without its body). Entries a running
// download holds stay.
void pruneStagingArea(const std::string &area, const StagingLimits &limits = {});

} // namespace kivora
