#pragma once

namespace kivora {

class PlayerEngine;

// The web engine's side of the player (Qt WebEngine, Chromium and all) is a shared module
// carried inside the executable: the launcher starts without loading it, and a self-update,
// which replaces the executable alone, brings its player along. Loaded once, by the first
// player engine; it stays for the rest of the program's life.
class PlayerModule
{
public:
    // Loads the module unless it is loaded. Throws std::runtime_error with the loader's reason,
    // then and on every later call.
    static void load();
    // Throws as load() does.
    static PlayerEngine *createEngine();
};

} // namespace kivora
