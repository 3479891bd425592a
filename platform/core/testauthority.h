#pragma once

#include <cstdlib>

namespace kivora {

// A certificate authority file that https transfers trust instead of the system's store,
// named by KIVORA_TEST_CA_FILE, in builds with tests only: a packaged build (BUILD_TESTING
// off) trusts the system's store and nothing else. Null when there is none. Header-only, so
// that the player module needs nothing linked for it.
inline const char *testAuthorityFile()
{
#ifdef KIVORA_TEST_SEAMS
    const char *file = std::getenv("KIVORA_TEST_CA_FILE");
    return file && *file ? file : nullptr;
#else
    return nullptr;
#endif
}

} // namespace kivora
