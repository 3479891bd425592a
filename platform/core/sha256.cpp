#include "platform/core/sha256.h"

#include "platform/text/asciitext.h"

#include <QByteArrayView>
#include <QCryptographicHash>

#include <algorithm>

namespace kivora {

Sha256::Sha256()
    : m_hash(std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256))
{
}

Sha256::~Sha256() = default;
Sha256::Sha256(Sha256 &&) noexcept = default;
Sha256 &Sha256::operator=(Sha256 &&) noexcept = default;

void Sha256::update(std::string_view bytes)
{
    m_hash->addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

Sha256::Digest Sha256::finish()
{
    const QByteArrayView result = m_hash->resultView();
    Digest digest{};
    std::copy_n(reinterpret_cast<const std::uint8_t *>(result.data()), digest.size(), digest.begin());
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
        c = asciiLower(c);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return std::nullopt;
        lower += c;
    }
    return lower;
}

} // namespace kivora
