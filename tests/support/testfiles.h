#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include <sys/types.h>

namespace kivora::test {

// The whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path &path);

// Bytes that differ from one position to the next and from one `seed` to another, so a
// file stitched from two versions, or shifted, shows.
std::string varyingBytes(std::size_t size, unsigned seed);

// Creates the parent folders as needed; replaces what was there and gives the file `mode`.
void writeFile(const std::filesystem::path &path, const std::string &bytes, mode_t mode = 0644);

} // namespace kivora::test
