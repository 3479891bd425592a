#include "platform/net/sha256.h"

#include <openssl/evp.h>

#include <new>

namespace kivora {

void Sha256::Free::operator()(evp_md_ctx_st *context) const
{
    EVP_MD_CTX_free(context);
}

Sha256::Sha256()
    : m_context(EVP_MD_CTX_new())
{
    if (!m_context || EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256 &&) noexcept = default;
Sha256 &Sha256::operator=(Sha256 &&) noexcept = default;

void Sha256::update(std::string_view bytes)
{
    // Cannot fail for a software digest that was set up.
    EVP_DigestUpdate(m_context.get(), bytes.data(), bytes.size());
}

Sha256::Digest Sha256::finish()
{
    Digest digest{};
    unsigned int size = 0;
    EVP_DigestFinal_ex(m_context.get(), digest.data(), &size);
    return digest;
}

std::string Sha256::toHex(const Digest &digest)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : digest) {
        text += hex[byte >> 4];
        text += hex[byte & 0x0F];
    }
    return text;
}

std::optional<std::string> Sha256::normalizedHex(std::string_view text)
{
    if (text.size() != 64)
        return std::nullopt;
    std::string lower;
    for (char c : text) {
        if (c >= 'A' && c <= 'F')
            c = char(c - 'A' + 'a');
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
        lower += c;
    }
    return lower;
}

} // namespace kivora
