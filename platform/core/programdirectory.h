#pragma once

#include <string>

namespace kivora {

// Full path of the running executable, from the kernel's view of this process.
std::string executablePath();

// The directory of the running executable, with a trailing '/'. Every local path of
// the program is formed by appending to it.
std::string programDirectory();

// Lets tests run the program's logic against a scratch directory. An empty text
// returns to the executable's own directory.
void setProgramDirectoryForTesting(const std::string &directory);

} // namespace kivora
