#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// UTF-8 form of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// UTF-8 form of UTF-16 text; nothing when the text holds an unpaired surrogate.
std::optional<std::string> utf16ToUtf8(std::u16string_view text);

// UTF-16 form of UTF-8 text; each ill-formed sequence becomes one U+FFFD.
std::u16string fromUtf8(std::string_view text);

} // namespace kivora
