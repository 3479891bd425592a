#pragma once

class QWidget;

namespace kivora {

// Keeps `window` off the desktop's task list. Most desktops leave owned windows off by
// themselves, but not all; the window-manager hint says so to every desktop that reads it.
// Call it while the window is about to be shown (its show event): the hint is read when the
// window is mapped, and the desktop drops it each time the window is hidden.
void keepOffTaskList(QWidget &window);

} // namespace kivora
