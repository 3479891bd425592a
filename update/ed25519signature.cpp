#include "update/ed25519signature.h"

#include <climits>
#include <memory>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace kivora {

namespace {

constexpr std::size_t signatureSize = 64;

std::optional<std::string> check(std::string_view publicKeyPem, std::string_view message, std::string_view signature)
{
    if (publicKeyPem.size() > INT_MAX)
        return "the update key is not an Ed25519 public key";
    const std::unique_ptr<BIO, decltype(&BIO_free)> pem(BIO_new_mem_buf(publicKeyPem.data(), static_cast<int>(publicKeyPem.size())),
                                                        BIO_free);
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        pem ? PEM_read_bio_PUBKEY(pem.get(), nullptr, nullptr, nullptr) : nullptr, EVP_PKEY_free);
    if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        return "the update key is not an Ed25519 public key";
    if (signature.size() != signatureSize)
        return "the signature is " + std::to_string(signature.size()) + " bytes, not 64";
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    // Ed25519 hashes the message itself: no digest is named, and the message goes in whole.
    if (!context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return "OpenSSL cannot check an Ed25519 signature";
    if (EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(signature.data()), signature.size(),
                         reinterpret_cast<const unsigned char *>(message.data()), message.size())
        != 1)
        return "the signature is not the update key's signature of the file";
    return std::nullopt;
}

} // namespace

std::optional<std::string> checkEd25519Signature(std::string_view publicKeyPem, std::string_view message,
                                                 std::string_view signature)
{
    std::optional<std::string> why = check(publicKeyPem, message, signature);
    // OpenSSL's queue of errors belongs to the thread, which may go on to other TLS work.
    ERR_clear_error();
    return why;
}

} // namespace kivora
