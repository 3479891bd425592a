#pragma once

#include <string_view>

namespace kivora {

// The three servers, each "host" or "host:port", fixed into the build.
std::string_view streamHost();
std::string_view downloadHost();
std::string_view updateHost();

} // namespace kivora
