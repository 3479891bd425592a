#pragma once

#include <string>

namespace kivora {

// The name the previous executable is kept under while an update is under way.
inline constexpr char previousExecutableName[] = "lumora0";

// Removes a previous executable left in the program directory by an update. A failed
// removal is not reported: the next start tries again.
void removeLeftOverExecutable(const std::string &programDirectory);

// What a start does before anything else: settles an update that was cut short (the
// record receives the new line only if the new executable is in place), removes the
// previous executable and what processes ended while writing left behind, and keeps the
// bytes of cut-off downloads within their limits of age and size. Nothing here
// is reported; what fails is tried again at the next start.
void startUpCleanUp(const std::string &programDirectory);

} // namespace kivora
