#include "platform/core/windowmessages.h"

#include <mutex>
#include <unordered_map>

namespace kivora {

namespace {

struct Registry
{
    std::mutex mutex;
    std::unordered_map<WindowHandle, WindowMessages::Receiver> receivers;
    WindowHandle next = 1;
};

Registry &registry()
{
    // Never destroyed: a job still running at exit may post after static destructors.
    static Registry *instance = new Registry;
    return *instance;
}

} // namespace

WindowHandle WindowMessages::attach(Receiver deliver)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    const WindowHandle handle = r.next++;
    r.receivers.emplace(handle, std::move(deliver));
    return handle;
}

void WindowMessages::detach(WindowHandle handle)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    r.receivers.erase(handle);
}

bool WindowMessages::post(WindowHandle handle, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    Registry &r = registry();
    // Delivery happens under the lock so that detach() cannot complete while a
    // message is being handed to a window that is about to be destroyed.
    std::lock_guard lock(r.mutex);
    const auto it = r.receivers.find(handle);
    if (it == r.receivers.end())
        return false;
    it->second(message, wParam, lParam);
    return true;
}

} // namespace kivora
