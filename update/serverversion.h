#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// What the update server's version file announces.
struct ServerVersion
{
    // The first line: the address of the new executable, as bytes in the locale's encoding.
    std::string line;
    // The text after "sha256=" on the first later line that starts so, when there is one.
    // It is passed on unchecked: a value that is not 64 hex digits makes the fetch fail,
    // so a damaged digest line never turns the integrity check off.
    std::optional<std::string> sha256;
};

ServerVersion parseServerVersion(std::string_view text);

// parseServerVersion of a file; throws as readTextFile.
ServerVersion readServerVersion(const std::string &path);

} // namespace kivora
