#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// How many leading bytes of a file nativeExecutableMismatch reads: an ELF header of
// either class.
inline constexpr std::size_t elfHeaderSize = 64;

// Answers nothing when `head`, the first bytes of a file, begins an ELF program (fixed or
// position-independent) of this machine: the class, byte order and architecture of the
// running program's own file. Otherwise answers why not: an empty or short file, a script,
// a library of another kind, another machine's program.
std::optional<std::string> nativeExecutableMismatch(std::string_view head);

} // namespace kivora
