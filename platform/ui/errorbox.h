#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace kivora {

// The text the error box shows for a failure: the innermost non-empty message of a
// nested failure, with a full stop added when the text ends in a character above '.'.
QString errorBoxText(const std::exception_ptr &failure);

// Adds the closing full stop when the last character's code is above that of '.'.
QString withFullStop(const QString &text);

// Shows the modal error box (caption "Kivora", error icon, one OK button). Releases any
// pointer grab first and gives the active window and keyboard focus back afterwards.
void showErrorBox(const std::exception_ptr &failure);

// Runs a window handler so that a failure ends the handler where it was raised and is
// reported in the error box; the program goes on.
template<typename Handler>
void guarded(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        showErrorBox(std::current_exception());
    }
}

} // namespace kivora
