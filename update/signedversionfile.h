#pragma once

#include "update/serverversion.h"

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// The update server's version file as its publisher signs it (tools/update/sign-update):
//   <version line>CRLF
//   sha256=<64 hex digits of the new executable>CRLF
//   ed25519=<standard base64 of the 64-byte signature>CRLF
// The signature is pure Ed25519 over every byte before the "ed25519=" line, which must be
// the file's last. Only the signed bytes are read, and they must hold a "sha256=" line.
struct SignedVersion
{
    // What the file announces, with its digest in lower case, when it verifies.
    std::optional<ServerVersion> version;
    // Otherwise why it does not.
    std::string refusal;
};

SignedVersion verifyVersionFile(std::string_view text, std::string_view publicKeyPem);

} // namespace kivora
