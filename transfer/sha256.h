#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivora {

// SHA-256 (FIPS 180-4) over a stream of bytes.
class Sha256
{
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void update(std::string_view bytes);
    // Precondition: called once; the object is spent afterwards.
    Digest finish();

    static std::string toHex(const Digest &digest); // lower case

private:
    void compress(const std::uint8_t *block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0; // bytes so far
};

} // namespace kivora
