#pragma once

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace kivora::test {

// The whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path &path);

// Creates the parent folders as needed; replaces what was there and gives the file `mode`.
void writeFile(const std::filesystem::path &path, const std::string &bytes, mode_t mode = 0644);

} // namespace kivora::test
