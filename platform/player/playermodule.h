#pragma once

#include "platform/player/playerbackend.h"

#include <cstddef>
#include <memory>
#include <span>

namespace kivora {

// The web engine's side of the player (Qt WebEngine, Chromium and all) is a shared module
// carried inside the executable, so that a self-update, which replaces the executable alone,
// brings its player along. The player's process loads it (see PlayerProcess); the launcher
// never does. Once loaded, it stays for the rest of the process's life.
class PlayerModule
{
public:
    // The module the executable carries, loaded on the first call. Throws std::runtime_error
    // with the loader's reason, then and on every later call: a module that cannot be loaded
    // now will not load for the next movie either.
    static PlayerModule &carried();

    // Loads the module whose bytes are image and initialises it. Throws std::runtime_error.
    explicit PlayerModule(std::span<const unsigned char> image);
    PlayerModule(const PlayerModule &) = delete;
    PlayerModule &operator=(const PlayerModule &) = delete;

    std::unique_ptr<PlayerBackend> createBackend(PlayerBackend::Events &events) const;

private:
    PlayerModuleCreate m_create = nullptr;
};

} // namespace kivora
