#pragma once

#include "platform/net/curlapi.h"
#include "platform/core/testauthority.h"

#include <string_view>

namespace kivora {

// Restricts a transfer of `wireAddress` to its own scheme, redirections included (an https
// transfer never goes on in plain text), with certificates checked against the system's
// store (libcurl's defaults, set again so that nothing before can have turned them off).
void restrictToScheme(CURL *curl, std::string_view wireAddress);

} // namespace kivora
