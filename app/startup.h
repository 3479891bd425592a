#pragma once

namespace kivora {

// Creates the twelve windows hidden, launcher first, in their fixed order, and sets
// each window's instance variable. Failures of a window's construction propagate.
void createWindows();

// Once the launcher is shown: starts decoding the pictures that the windows draw first, and
// reading the font list, on other threads.
void prepareFirstPaint();

// Destroys the windows, last created first.
void destroyWindows();

} // namespace kivora
