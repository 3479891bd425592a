#pragma once

#include "platform/core/sha256.h"

#include <string>

namespace kivora::test {

// The lower-case hex SHA-256 of `bytes`, as version files and the transfer jobs compare it.
inline std::string sha256Hex(const std::string &bytes)
{
    Sha256 digest;
    digest.update(bytes);
    return Sha256::toHex(digest.finish());
}

} // namespace kivora::test
