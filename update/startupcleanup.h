#pragma once

#include <string>

namespace kivora {

// The name the previous executable is kept under while an update is under way.
inline constexpr char previousExecutableName[] = "lumora0";

// Removes a previous executable left in the program directory by an update. A failed
// removal is not reported: the next start tries again.
void removeLeftOverExecutable(const std::string &programDirectory);

} // namespace kivora
