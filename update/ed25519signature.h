#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// Checks a pure Ed25519 signature (RFC 8032) with OpenSSL. Answers nothing when
// `signature` is the signature of `message` by the key in `publicKeyPem` (a
// SubjectPublicKeyInfo in PEM), and otherwise why not. Safe on any thread.
std::optional<std::string> checkEd25519Signature(std::string_view publicKeyPem, std::string_view message,
                                                 std::string_view signature);

} // namespace kivora
