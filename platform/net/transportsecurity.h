#pragma once

#include "platform/net/curlapi.h"
#include "platform/net/testauthority.h"

#include <string_view>

namespace kivora {

// The scheme of a wire address ("http" or "https") and the only scheme a redirection from
// it may lead to: an https transfer never goes on in plain text.
std::string_view wireScheme(std::string_view wireAddress);

// Restricts a transfer of `wireAddress` to its own scheme, redirections included, with
// certificates checked against the system's store (libcurl's defaults, set again so that
// nothing before can have turned them off).
void restrictToScheme(CURL *curl, std::string_view wireAddress);

} // namespace kivora
