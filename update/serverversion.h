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
    // A version file that verifies (signedversionfile.h) always has 64 hex digits here.
    std::optional<std::string> sha256;
};

ServerVersion parseServerVersion(std::string_view text);

} // namespace kivora
