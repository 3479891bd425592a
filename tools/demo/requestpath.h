#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace kivora::demo {

// Maps a decoded request path ("/erger/做客歌.swf", UTF-8) to a path under
// `root`. Refuses anything that could leave the root or name it oddly:
// "." or ".." segments, empty segments, backslashes and NUL bytes.
std::optional<std::filesystem::path> resolveRequestPath(const std::filesystem::path &root, std::string_view decodedPath);

} // namespace kivora::demo
