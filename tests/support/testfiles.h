#pragma once

#include <filesystem>
#include <string>

namespace kivora::test {

// The whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path &path);

// Creates the parent folders as needed.
void writeFile(const std::filesystem::path &path, const std::string &bytes);

} // namespace kivora::test
