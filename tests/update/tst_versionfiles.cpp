#include "update/probeaddress.h"
#include "tests/support/scratchfolder.h"
#include "update/serverversion.h"
#include "update/signedversionfile.h"
#include "tests/update/updatefixture.h"
#include "update/updatepublickey.h"
#include "update/versionline.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kivora {
namespace {

struct LineCase
{
    const char *name;
    std::string text;
    std::string line;
};

class FirstLine : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(FirstLine, IsTheBytesBeforeTheFirstBreak)
{
    EXPECT_EQ(firstLine(GetParam().text), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    VersionFiles, FirstLine,
    ::testing::Values(LineCase{"crlf", "http://h/a\r\nsecond\r\n", "http://h/a"},
                      LineCase{"lf", "http://h/a\nsecond", "http://h/a"},
                      LineCase{"cr", "http://h/a\rsecond", "http://h/a"},
                      LineCase{"no_break", "http://h/a", "http://h/a"},
                      LineCase{"empty", "", ""},
                      LineCase{"empty_first_line", "\r\nhttp://h/a", ""},
                      LineCase{"trailing_space_kept", "http://h/a \r\n", "http://h/a "},
                      LineCase{"leading_space_kept", " http://h/a", " http://h/a"},
                      LineCase{"bom_is_part_of_the_line", "\xEF\xBB\xBFhttp://h/a\r\n", "\xEF\xBB\xBFhttp://h/a"},
                      LineCase{"eight_bit_text", "http://h/\xE6\x96\xB0\r\n", "http://h/\xE6\x96\xB0"}),
    [](const auto &info) { return std::string(info.param.name); });

struct DigestCase
{
    const char *name;
    std::string text;
    std::optional<std::string> sha256;
};

class DigestLine : public ::testing::TestWithParam<DigestCase>
{
};

const std::string digest(64, 'a');

TEST_P(DigestLine, IsFoundOnlyAfterTheFirstLine)
{
    const ServerVersion version = parseServerVersion(GetParam().text);
    EXPECT_EQ(version.line, "http://h/new");
    EXPECT_EQ(version.sha256, GetParam().sha256);
}

INSTANTIATE_TEST_SUITE_P(
    VersionFiles, DigestLine,
    ::testing::Values(DigestCase{"none", "http://h/new\r\n", std::nullopt},
                      DigestCase{"second_line", "http://h/new\r\nsha256=" + digest + "\r\n", digest},
                      DigestCase{"lf_breaks", "http://h/new\nnotes\nsha256=" + digest, digest},
                      DigestCase{"first_of_two", "http://h/new\r\nsha256=" + digest + "\r\nsha256=bb\r\n", digest},
                      DigestCase{"malformed_kept_for_the_check_to_refuse", "http://h/new\r\nsha256=12\r\n", "12"},
                      DigestCase{"empty_value", "http://h/new\r\nsha256=\r\n", ""},
                      DigestCase{"other_case_is_not_a_digest_line", "http://h/new\r\nSHA256=" + digest, std::nullopt},
                      DigestCase{"indented_is_not_a_digest_line", "http://h/new\r\n sha256=" + digest, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

// Only a file whose last line signs every byte before it with the update key is read, and
// only its signed part.
TEST(VersionFiles, VerifyOnlyWithTheUpdateKeysSignature)
{
    if (!test::canSignUpdates())
        GTEST_SKIP() << "this build has the publisher's update key";
    const std::string line = "http://h/erge/lumora-2";
    const std::string hex = test::sha256Hex("new executable");
    const std::string digestLine = "sha256=" + hex + "\r\n";
    const std::string signedFile = test::signVersionFile(line + "\r\n" + digestLine);
    std::string changedAddress = signedFile;
    changedAddress[10] ^= 1;
    std::string changedDigest = signedFile;
    changedDigest[line.size() + 9] = hex[0] == '0' ? '1' : '0';
    std::string shortSignature = signedFile;
    shortSignature.erase(shortSignature.size() - 20, 4);
    std::string lfOnly = test::signVersionFile(line + "\nnotes\nsha256=" + hex + "\n");
    lfOnly.resize(lfOnly.size() - 2);
    struct Case
    {
        const char *name;
        std::string text;
        const char *refusal; // part of the reason; nullptr: verifies
    };
    const Case cases[] = {
        {"signed", signedFile, nullptr},
        {"lf_breaks_and_no_final_break", lfOnly, nullptr},
        {"unsigned", line + "\r\n" + digestLine, "does not end in"},
        {"empty", "", "does not end in"},
        {"signature_alone", test::signVersionFile(""), "does not end in"},
        {"another_key", test::signVersionFile(line + "\r\n" + digestLine, test::anotherUpdateKey().get()), "not the update key's"},
        {"one_byte_of_the_address_changed", changedAddress, "not the update key's"},
        {"one_digit_of_the_digest_changed", changedDigest, "not the update key's"},
        {"signature_cut", shortSignature, "not 64"},
        {"signature_not_base64", line + "\r\n" + digestLine + "ed25519=#\r\n", "not base64"},
        {"digest_after_the_signature", test::signVersionFile(line + "\r\n") + digestLine, "does not end in"},
        {"no_digest_signed", test::signVersionFile(line + "\r\n"), "no \"sha256=\""},
        {"damaged_digest_signed", test::signVersionFile(line + "\r\nsha256=12\r\n"), "64 hex"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const SignedVersion verified = verifyVersionFile(c.text, updatePublicKey());
        if (!c.refusal) {
            ASSERT_TRUE(verified.version) << verified.refusal;
            EXPECT_EQ(verified.version->line, line);
            EXPECT_EQ(verified.version->sha256, hex);
        } else {
            EXPECT_FALSE(verified.version);
            EXPECT_NE(verified.refusal.find(c.refusal), std::string::npos) << verified.refusal;
        }
    }
}

// A publisher signs with the openssl command line alone; Ed25519 signatures are
// deterministic, so the script writes exactly the bytes the program verifies.
TEST(VersionFiles, SignUpdateWritesAFileThatVerifies)
{
    if (!test::canSignUpdates())
        GTEST_SKIP() << "this build has the publisher's update key";
    test::ScratchFolder folder;
    const std::string executable = test::programPrinting("new");
    test::writeFile(folder.path() / "lumora-2", executable);
    const std::string line = "http://127.0.0.1:18083/erge/lumora-2";
    const std::string output = test::commandOutput(std::string("'") + KIVORA_SIGN_UPDATE + "' '" + KIVORA_UPDATE_SIGNING_KEY
                                                   + "' '" + line + "' '" + (folder.path() / "lumora-2").string() + "'");

    EXPECT_EQ(output, test::signedVersionFile(line, executable));
    const SignedVersion verified = verifyVersionFile(output, updatePublicKey());
    ASSERT_TRUE(verified.version) << verified.refusal;
    EXPECT_EQ(verified.version->line, line);
}

TEST(VersionFiles, RecordIsTheLineAndCrLfOnly)
{
    test::ScratchFolder folder;
    const std::string path = (folder.path() / "Nupdate.txt").string();
    test::writeFile(path, "an older and much longer line\r\nsecond line\r\n");
    writeVersionRecord(path, "http://h/\xE6\x96\xB0 ");
    EXPECT_EQ(test::readFile(path), "http://h/\xE6\x96\xB0 \r\n");
    EXPECT_EQ(readVersionLine(path), "http://h/\xE6\x96\xB0 ");
    EXPECT_EQ(folder.entries(), std::set<std::string>{"Nupdate.txt"});
}

TEST(VersionFiles, MissingRecordOrFolderFailsWithTheReason)
{
    test::ScratchFolder folder;
    for (const std::string &path : {(folder.path() / "Nupdate.txt").string(), (folder.path() / "update/Nupdate.txt").string()}) {
        try {
            readVersionLine(path);
            ADD_FAILURE() << path;
        } catch (const std::runtime_error &failure) {
            EXPECT_EQ(std::string(failure.what()), "Cannot open file \"" + path + "\". No such file or directory");
        }
    }
    EXPECT_THROW(writeVersionRecord((folder.path() / "update/Nupdate.txt").string(), "x"), std::runtime_error);
}

struct PrefixCase
{
    const char *name;
    std::u16string url;
    std::u16string probed;
};

class ProbeAddress : public ::testing::TestWithParam<PrefixCase>
{
};

TEST_P(ProbeAddress, GetsHttpInFrontUnlessItOccursAnywhere)
{
    EXPECT_EQ(probeAddress(GetParam().url), GetParam().probed);
}

INSTANTIATE_TEST_SUITE_P(
    VersionFiles, ProbeAddress,
    ::testing::Values(PrefixCase{"plain", u"http://h/erge/update.txt", u"http://h/erge/update.txt"},
                      PrefixCase{"no_scheme", u"h/erge/update.txt", u"http://h/erge/update.txt"},
                      PrefixCase{"capital_scheme_unchanged", u"HTTP://h/erge/update.txt", u"HTTP://h/erge/update.txt"},
                      PrefixCase{"mixed_case_unchanged", u"hTtP://h/x", u"hTtP://h/x"},
                      PrefixCase{"https_gets_prefix", u"https://h/x", u"http://https://h/x"},
                      PrefixCase{"anywhere_counts", u"h/x?next=http://y", u"h/x?next=http://y"},
                      PrefixCase{"empty", u"", u"http://"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace kivora
