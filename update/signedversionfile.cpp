#include "update/signedversionfile.h"

#include "platform/core/sha256.h"
#include "update/ed25519signature.h"

#include <QByteArray>

namespace kivora {

namespace {

constexpr std::string_view signaturePrefix = "ed25519=";

SignedVersion refused(std::string why)
{
    return SignedVersion{std::nullopt, std::move(why)};
}

// `text` without one line break at its end.
std::string_view withoutFinalBreak(std::string_view text)
{
    if (text.ends_with("\r\n"))
        text.remove_suffix(2);
    else if (text.ends_with('\n'))
        text.remove_suffix(1);
    return text;
}

} // namespace

SignedVersion verifyVersionFile(std::string_view text, std::string_view publicKeyPem)
{
    const std::string_view content = withoutFinalBreak(text);
    const std::size_t lastBreak = content.rfind('\n');
    const std::string_view lastLine = lastBreak == std::string_view::npos ? content : content.substr(lastBreak + 1);
    if (lastBreak == std::string_view::npos || !lastLine.starts_with(signaturePrefix))
        return refused("the version file does not end in an \"ed25519=\" signature line");
    const std::string_view signedPart = content.substr(0, lastBreak + 1);

    const QByteArray::FromBase64Result signature = QByteArray::fromBase64Encoding(
        QByteArray::fromRawData(lastLine.data() + signaturePrefix.size(),
                                static_cast<qsizetype>(lastLine.size() - signaturePrefix.size())),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!signature)
        return refused("the signature line is not base64");
    if (auto why = checkEd25519Signature(publicKeyPem, signedPart,
                                         std::string_view(signature.decoded.constData(), signature.decoded.size())))
        return refused(std::move(*why));

    ServerVersion version = parseServerVersion(signedPart);
    if (!version.sha256)
        return refused("the signed part of the version file has no \"sha256=\" line");
    const std::optional<std::string> digest = Sha256::normalizedHex(*version.sha256);
    if (!digest)
        return refused("the \"sha256=\" line does not hold 64 hex digits");
    version.sha256 = *digest;
    return SignedVersion{std::move(version), {}};
}

} // namespace kivora
