#include "tools/demo/transferrate.h"

#include <charconv>

namespace kivora::demo {

std::optional<std::uint64_t> parseTransferRate(std::string_view text)
{
    std::uint64_t unit = 1;
    if (!text.empty()) {
        const char last = text.back();
        if (last == 'k' || last == 'K')
            unit = 1024;
        else if (last == 'm' || last == 'M')
            unit = 1024 * 1024;
        if (unit != 1)
            text.remove_suffix(1);
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    if (value > UINT64_MAX / unit)
        return std::nullopt;
    return value * unit;
}

} // namespace kivora::demo
