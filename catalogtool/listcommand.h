#pragma once

#include <string_view>

namespace kivora::catalogtool {

// Prints every title of the catalog as one tab-separated line in display order: window
// class, window name, folder, position (1-based), title, local path relative to the
// program directory, streaming address, download address. Answers the exit status.
int runList(std::string_view streamHost, std::string_view downloadHost);

} // namespace kivora::catalogtool
