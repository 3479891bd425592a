#pragma once

#include <cstdint>
#include <vector>

namespace kivora::swf {

using Bytes = std::vector<std::uint8_t>;

} // namespace kivora::swf
