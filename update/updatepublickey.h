#pragma once

#include <string_view>

namespace kivora {

// The Ed25519 public key, in PEM, that the update server's version file must be signed
// with. Fixed when the program is configured (KIVORA_UPDATE_PUBLIC_KEY).
std::string_view updatePublicKey();

} // namespace kivora
