#include "platform/player/playermodule.h"

#include "platform/core/diagnostics.h"
#include "platform/core/testauthority.h"
#include "platform/player/playerassets.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

// The module's bytes, linked in by playermoduleimage.cpp.
extern "C" const unsigned char kivora_player_module_begin[];
extern "C" const unsigned char kivora_player_module_end[];

namespace kivora {

namespace {

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
void *openModule(std::span<const unsigned char> image)
{
    const int descriptor = ::memfd_create("kivora-player", MFD_CLOEXEC);
    if (descriptor < 0)
        fail(std::string("no memory file for the player module: ") + std::strerror(errno));
    if (!writeAll(descriptor, image.data(), image.size())) {
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

// Everything the module uses of the program.
const PlayerModuleHost host{
    playerLog,
    playerAssetsRoot,
    playerFontFile,
    testAuthorityFile,
};

} // namespace

PlayerModule::PlayerModule(std::span<const unsigned char> image)
{
    void *handle = openModule(image);
    const auto initialize = reinterpret_cast<PlayerModuleInitialize>(symbol(handle, playerModuleInitializeName));
    m_create = reinterpret_cast<PlayerModuleCreate>(symbol(handle, playerModuleCreateName));
    initialize(&host);
}

PlayerModule &PlayerModule::carried()
{
    static std::optional<PlayerModule> module;
    static std::string failure;
    if (module)
        return *module;
    if (!failure.empty())
        throw std::runtime_error(failure);
    try {
        module.emplace(std::span(kivora_player_module_begin, kivora_player_module_end));
    } catch (const std::runtime_error &error) {
        failure = error.what();
        throw;
    }
    return *module;
}

std::unique_ptr<PlayerBackend> PlayerModule::createBackend(PlayerBackend::Events &events) const
{
    return std::unique_ptr<PlayerBackend>(m_create(&events));
}

} // namespace kivora
