#pragma once

namespace kivora {

// The direction of a transfer phase announced by the client's progress events.
enum class WorkMode { Read, Write };

} // namespace kivora
