#include "tools/demo/requestpath.h"

namespace kivora::demo {

std::optional<std::filesystem::path> resolveRequestPath(const std::filesystem::path &root, std::string_view decodedPath)
{
    if (decodedPath.size() < 2 || decodedPath.front() != '/')
        return std::nullopt;
    std::filesystem::path result = root;
    std::string_view rest = decodedPath.substr(1);
    while (true) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (segment.empty() || segment == "." || segment == ".."
            || segment.find('\\') != std::string_view::npos || segment.find('\0') != std::string_view::npos)
            return std::nullopt;
        result /= std::filesystem::path(segment);
        if (slash == std::string_view::npos)
            return result;
        rest = rest.substr(slash + 1);
    }
}

} // namespace kivora::demo
