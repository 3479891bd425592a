#pragma once

namespace kivora {

// Creates the twelve windows hidden, launcher first, in their fixed order, and sets
// each window's instance variable. Failures of a window's construction propagate.
void createWindows();

// Destroys the windows, last created first.
void destroyWindows();

} // namespace kivora
