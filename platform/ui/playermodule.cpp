#include "platform/ui/playermodule.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

// The module's bytes, linked in by playermoduleimage.cpp.
extern "C" const unsigned char kivora_player_module_begin[];
extern "C" const unsigned char kivora_player_module_end[];

namespace kivora {

namespace {

using Initialize = void (*)();
using CreateEngine = PlayerEngine *(*)();

[[noreturn]] void fail(const std::string &why)
{
    throw std::runtime_error("The SWF player cannot be created: " + why);
}

bool writeAll(int descriptor, const unsigned char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// From an anonymous in-memory file: nothing is written to disk, and nothing is left behind.
void *openModule()
{
    const int descriptor = ::memfd_create("kivora-player", MFD_CLOEXEC);
    if (descriptor < 0)
        fail(std::string("no memory file for the player module: ") + std::strerror(errno));
    const std::size_t size = static_cast<std::size_t>(kivora_player_module_end - kivora_player_module_begin);
    if (!writeAll(descriptor, kivora_player_module_begin, size)) {
        const int error = errno;
        ::close(descriptor);
        fail(std::string("the player module could not be written: ") + std::strerror(error));
    }
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    void *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ::close(descriptor);
    if (!handle)
        fail(std::string("the player module could not be loaded: ") + ::dlerror());
    return handle;
}

void *symbol(void *module, const char *name)
{
    void *address = ::dlsym(module, name);
    if (!address)
        fail(std::string("the player module lacks ") + name);
    return address;
}

void *module = nullptr;
std::string failure; // why the one try to load it failed

} // namespace

void PlayerModule::load()
{
    if (module)
        return;
    // One try: a module that cannot be loaded now will not load for the next movie either.
    if (!failure.empty())
        throw std::runtime_error(failure);
    try {
        void *handle = openModule();
        reinterpret_cast<Initialize>(symbol(handle, "kivora_player_initialize"))();
        module = handle;
    } catch (const std::runtime_error &error) {
        failure = error.what();
        throw;
    }
}

PlayerEngine *PlayerModule::createEngine()
{
    load();
    return reinterpret_cast<CreateEngine>(symbol(module, "kivora_player_create_engine"))();
}

} // namespace kivora
