#pragma once

#include <cstdint>

namespace kivora {

// Status codes of the progress reports after the first one (which is
// BINDSTATUS_FINDINGRESOURCE). Only that first code means anything to a sink.
constexpr std::uint32_t BINDSTATUS_BEGINDOWNLOADDATA = 4;
constexpr std::uint32_t BINDSTATUS_DOWNLOADINGDATA = 5;
// The last report of a complete transfer; sent once the file is in place.
constexpr std::uint32_t BINDSTATUS_ENDDOWNLOADDATA = 6;

} // namespace kivora
