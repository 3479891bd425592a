#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kivora::demo {

// "200k" → 204800 bytes per second; suffixes k and m (binary, either case);
// plain digits are bytes. Zero and malformed texts give nothing.
std::optional<std::uint64_t> parseTransferRate(std::string_view text);

} // namespace kivora::demo
