#pragma once

namespace kivora {

// Initialises libcurl once for the whole program, whichever thread asks first
// (curl_global_init itself is not thread-safe). False when libcurl cannot start.
bool curlReady();

} // namespace kivora
