#pragma once

#include <string>

namespace kivora {

// The address the status probe opens: `url` unchanged when "http://" occurs anywhere in
// it, letter case of ASCII letters ignored; otherwise "http://" followed by `url`.
std::u16string probeAddress(const std::u16string &url);

} // namespace kivora
