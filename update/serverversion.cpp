#include "update/serverversion.h"

#include "update/versionline.h"

namespace kivora {

namespace {

constexpr std::string_view digestPrefix = "sha256=";

// The rest of `text` after the line break that ends its first line ("\r\n" counts once).
std::string_view afterFirstLine(std::string_view text)
{
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos)
        return {};
    const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    return text.substr(next);
}

} // namespace

ServerVersion parseServerVersion(std::string_view text)
{
    ServerVersion version;
    version.line = std::string(firstLine(text));
    for (std::string_view rest = afterFirstLine(text); !rest.empty(); rest = afterFirstLine(rest)) {
        const std::string_view line = firstLine(rest);
        if (line.substr(0, digestPrefix.size()) == digestPrefix) {
            version.sha256 = std::string(line.substr(digestPrefix.size()));
            break;
        }
    }
    return version;
}

} // namespace kivora
