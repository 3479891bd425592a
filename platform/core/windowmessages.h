#pragma once

#include <cstdint>
#include <functional>

namespace kivora {

// A window as seen from a worker thread: an opaque number, never a pointer.
using WindowHandle = std::uintptr_t;

// The message a fetch job posts to its window with its percentage (wParam 0).
inline constexpr unsigned wm_downprogres = 2025;

// Delivers window messages posted from any thread. The user-interface side attaches a
// receiver for each window and detaches it before the window is destroyed; a post to a
// handle that is detached (or never existed) is dropped, so a job may outlive its window.
class WindowMessages
{
public:
    // Precondition: `deliver` only queues the message (for example with a posted event);
    // it runs on the posting thread and must never wait for the receiving thread.
    using Receiver = std::function<void(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>;

    static WindowHandle attach(Receiver deliver);
    // After this returns, no delivery to the handle is in progress or will start.
    static void detach(WindowHandle handle);
    // Answers false when the handle names no attached window.
    static bool post(WindowHandle handle, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
};

} // namespace kivora
