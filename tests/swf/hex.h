#pragma once

#include "tools/swf/bytes.h"

#include <cstdio>
#include <string>

namespace kivora::swf::test {

// "0C A5 80", for readable comparisons with hand-packed bytes.
inline std::string hex(const Bytes &bytes)
{
    std::string text;
    char buffer[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(buffer, sizeof buffer, text.empty() ? "%02X" : " %02X", byte);
        text += buffer;
    }
    return text;
}

} // namespace kivora::swf::test
