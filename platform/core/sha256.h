#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QCryptographicHash;

namespace kivora {

// SHA-256 over a stream of bytes (Qt Core does the work: it is loaded anyway, where
// another library would cost every start of the program its loading).
class Sha256
{
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    ~Sha256();
    Sha256(Sha256 &&) noexcept;
    Sha256 &operator=(Sha256 &&) noexcept;

    void update(std::string_view bytes);
    // Precondition: called once; the object is spent afterwards.
    Digest finish();

    static std::string toHex(const Digest &digest); // lower case
    // `text` in lower case when it is exactly 64 hex digits, either letter case.
    static std::optional<std::string> normalizedHex(std::string_view text);

private:
    std::unique_ptr<QCryptographicHash> m_hash;
};

} // namespace kivora
