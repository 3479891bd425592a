#pragma once

#include <string_view>

namespace kivora {

// The three servers, each "host" or "host:port", fixed into the build.
std::string_view streamHost();
std::string_view downloadHost();
std::string_view updateHost();

// "http" or "https": the scheme of the streaming and download servers, fixed into the build.
// The update server is always asked over plain HTTP: its signed version file is what
// makes an update trustworthy.
std::string_view contentScheme();

} // namespace kivora
