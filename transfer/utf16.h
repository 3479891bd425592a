#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// Answers nothing when `text` holds an unpaired surrogate.
std::optional<std::string> utf16ToUtf8(std::u16string_view text);

} // namespace kivora
