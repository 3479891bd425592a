#include "platform/core/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace kivora {
namespace {

struct DigestCase
{
    std::string input;
    const char *hex;
};

class Sha256Test : public testing::TestWithParam<DigestCase> {};

TEST(Sha256Hex, OnlySixtyFourHexDigitsAreADigest)
{
    EXPECT_EQ(Sha256::normalizedHex(std::string(64, 'F')), std::string(64, 'f'));
    EXPECT_EQ(Sha256::normalizedHex(std::string(32, '0') + std::string(32, 'c')), std::string(32, '0') + std::string(32, 'c'));
    EXPECT_EQ(Sha256::normalizedHex(std::string(63, 'a')), std::nullopt);
    EXPECT_EQ(Sha256::normalizedHex(std::string(65, 'a')), std::nullopt);
    EXPECT_EQ(Sha256::normalizedHex(std::string(63, 'a') + "g"), std::nullopt);
    EXPECT_EQ(Sha256::normalizedHex(""), std::nullopt);
}

TEST_P(Sha256Test, MatchesKnownDigestsWhateverThePieces)
{
    const DigestCase &c = GetParam();
    for (std::size_t piece : {c.input.size() + 1, std::size_t(1), std::size_t(63), std::size_t(65)}) {
        Sha256 sha;
        for (std::size_t at = 0; at < c.input.size(); at += piece)
            sha.update(std::string_view(c.input).substr(at, piece));
        EXPECT_EQ(Sha256::toHex(sha.finish()), c.hex) << "piece " << piece;
    }
}

// FIPS 180-4 examples and lengths around the padding boundary.
INSTANTIATE_TEST_SUITE_P(Vectors, Sha256Test, testing::Values(
    DigestCase{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    DigestCase{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    DigestCase{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    DigestCase{"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
               "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
    DigestCase{std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    DigestCase{std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
    DigestCase{std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
    DigestCase{std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"}));

} // namespace
} // namespace kivora
