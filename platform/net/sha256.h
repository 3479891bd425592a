#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct evp_md_ctx_st;

namespace kivora {

// SHA-256 over a stream of bytes (OpenSSL's libcrypto does the work).
class Sha256
{
public:
    using Digest = std::array<std::uint8_t, 32>;

    // Throws std::bad_alloc when libcrypto cannot set up a digest.
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
    struct Free
    {
        void operator()(evp_md_ctx_st *context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> m_context;
};

} // namespace kivora
