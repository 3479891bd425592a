#include "platform/core/programdirectory.h"
#include "update/executablereplacement.h"
#include "update/pendingupdate.h"
#include "update/serverversion.h"
#include "update/startupcleanup.h"
#include "tests/support/progresscollector.h"
#include "tests/update/recordingview.h"
#include "tests/update/updatefixture.h"
#include "update/versionline.h"

#include <gtest/gtest.h>

#include <vector>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

namespace kivora {
namespace {

constexpr char oldLine[] = "http://127.0.0.1/erge/lumora-1";

// A program directory with an old `lumora` that prints "old" and a matching record.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        test::writeFile(path("lumora"), test::scriptPrinting("old"), 0755);
        test::writeFile(path("update/Nupdate.txt"), std::string(oldLine) + "\r\n");
    }
    std::string directory() const { return m_folder.path().string() + "/"; }
    std::filesystem::path path(const std::string &name) const { return m_folder.path() / name; }
    std::string record() const { return test::readFile(path("update/Nupdate.txt")); }
    bool exists(const std::string &name) const { return std::filesystem::exists(path(name)); }
    std::set<std::string> entries() const { return m_folder.entries(); }

private:
    test::ScratchFolder m_folder;
};

enum class Digest { OfTheBody, OfSomethingElse, None };

struct FetchCase
{
    const char *name;
    const char *path; // on the update server; nullptr: a closed port
    Digest digest;
    bool replaced;
};

class Replacement : public ::testing::TestWithParam<FetchCase>
{
};

// Whatever the server sends, `lumora` is either the announced program of this machine or
// the old one, and the record and the folder match it.
TEST_P(Replacement, LeavesARunnableProgramAndAMatchingRecord)
{
    const FetchCase &c = GetParam();
    test::UpdateServer server(test::programPrinting("new", 200 * 1024));
    ASSERT_TRUE(server.started());
    ProgramFolder folder;
    const std::string address = c.path ? server.url(c.path) : "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/new";
    ServerVersion version{address, std::nullopt};
    if (c.digest == Digest::OfTheBody)
        version.sha256 = test::sha256Hex(server.body(c.path ? c.path : "/new"));
    else if (c.digest == Digest::OfSomethingElse)
        version.sha256 = test::sha256Hex("something else");
    FetchOptions options;
    // Lower than the real limit, which an endless body would take a while to reach.
    options.maxBodyBytes = 1024 * 1024;

    test::ProgressCollector log;
    ExecutableReplacement replacement(folder.directory());
    replacement.start(version, std::u16string(address.begin(), address.end()), log.window(), options);
    EXPECT_TRUE(replacement.underWay());
    const std::vector<std::intptr_t> messages = log.waitForFinal();
    const std::intptr_t report = messages.empty() ? 0 : messages.back();

    if (c.replaced) {
        ASSERT_EQ(report, 100);
        EXPECT_TRUE(replacement.completed());
        EXPECT_EQ(folder.record(), address + "\r\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora")), "new\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora0")), "old\n");
        EXPECT_EQ(std::filesystem::status(folder.path("lumora")).permissions() & std::filesystem::perms::owner_exec,
                  std::filesystem::perms::owner_exec);
    } else {
        ASSERT_EQ(report, -1);
        replacement.failed();
        EXPECT_EQ(folder.record(), std::string(oldLine) + "\r\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora")), "old\n");
        EXPECT_EQ(folder.entries(), (std::set<std::string>{"lumora", "update"}));
    }
    EXPECT_FALSE(replacement.underWay());
    EXPECT_FALSE(folder.exists("update/Nupdate.pending"));
    for (const std::intptr_t value : log.messages())
        EXPECT_TRUE(value == report || (value >= 0 && value <= 99)) << value;
}

INSTANTIATE_TEST_SUITE_P(Fetches, Replacement,
                         ::testing::Values(FetchCase{"signed_digest", "/new", Digest::OfTheBody, true},
                                           FetchCase{"digest_mismatch", "/new", Digest::OfSomethingElse, false},
                                           FetchCase{"no_digest", "/new", Digest::None, false},
                                           FetchCase{"empty_body", "/empty", Digest::OfTheBody, false},
                                           FetchCase{"cut_at_connection_close", "/short", Digest::OfTheBody, false},
                                           FetchCase{"script", "/script", Digest::OfTheBody, false},
                                           FetchCase{"another_architecture", "/foreign", Digest::OfTheBody, false},
                                           FetchCase{"past_the_size_limit", "/endless", Digest::OfSomethingElse, false},
                                           FetchCase{"not_found", "/status/404", Digest::OfTheBody, false},
                                           FetchCase{"unreachable", nullptr, Digest::OfTheBody, false}),
                         [](const auto &info) { return std::string(info.param.name); });

enum class Signature { UpdateKey, AnotherKey, None };

struct FlowCase
{
    const char *name;
    Signature signature;
    const char *path; // what the version line names on the update server; nullptr: the version in use
    bool agrees;      // the user's answer to the question
    const char *shown;
};

class Flow : public ::testing::TestWithParam<FlowCase>
{
protected:
    void TearDown() override { setProgramDirectoryForTesting({}); }
};

// What a check showed, in the order a check shows it.
std::string shown(const test::RecordingView &view)
{
    std::string text;
    for (const auto &[flag, name] : {std::pair{view.refused, "refused"}, {view.noUpdate, "no update"},
                                     {view.asked, "asked"}, {view.begun, "begun"}, {view.failed, "failed"},
                                     {view.saved, "saved"}, {view.savedSucceeded, "succeeded"}})
        if (flag)
            text += text.empty() ? name : std::string(" ") + name;
    return text;
}

// Only a version file that verifies leads to the question, and only the user's yes to a
// fetch; the folder changes only when the fetched program is the one announced.
TEST_P(Flow, AsksOnAVerifiedFileAndReplacesOnlyWhatItAnnounced)
{
    const FlowCase &c = GetParam();
    if (!test::canSignUpdates())
        GTEST_SKIP() << "this build has the publisher's update key";
    test::UpdateServer server(test::programPrinting("new", 200 * 1024));
    ASSERT_TRUE(server.started());
    ProgramFolder folder;
    setProgramDirectoryForTesting(folder.directory());
    const std::string line = c.path ? server.url(c.path) : oldLine;
    const std::string signedPart = line + "\r\nsha256=" + test::sha256Hex(server.body(c.path ? c.path : "/new")) + "\r\n";
    if (c.signature == Signature::UpdateKey)
        server.setVersionFile(test::signVersionFile(signedPart));
    else if (c.signature == Signature::AnotherKey)
        server.setVersionFile(test::signVersionFile(signedPart, test::anotherUpdateKey().get()));
    else
        server.setVersionFile(signedPart);

    test::RecordingView view;
    view.agrees = c.agrees;
    ASSERT_TRUE(test::runUpdateCheck(view, server.url("/erge/update.txt")));

    EXPECT_EQ(shown(view), c.shown);
    if (view.savedSucceeded) {
        EXPECT_EQ(view.lastPercent, 100);
        EXPECT_EQ(folder.record(), line + "\r\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora")), "new\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora0")), "old\n");
    } else {
        EXPECT_EQ(folder.record(), std::string(oldLine) + "\r\n");
        EXPECT_EQ(test::runProgram(folder.path("lumora")), "old\n");
        EXPECT_EQ(folder.entries(), (std::set<std::string>{"lumora", "update"}));
    }
    EXPECT_FALSE(folder.exists("update/Nupdate.pending"));
    if (!view.begun) {
        EXPECT_EQ(server.fetches(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, Flow,
    ::testing::Values(FlowCase{"unsigned", Signature::None, "/new", true, "refused"},
                      FlowCase{"another_key", Signature::AnotherKey, "/new", true, "refused"},
                      FlowCase{"up_to_date", Signature::UpdateKey, nullptr, true, "no update"},
                      FlowCase{"declined", Signature::UpdateKey, "/new", false, "asked"},
                      FlowCase{"another_architecture", Signature::UpdateKey, "/foreign", true, "asked begun failed"},
                      FlowCase{"not_found", Signature::UpdateKey, "/status/404", true, "asked begun failed"},
                      FlowCase{"replaced", Signature::UpdateKey, "/new", true, "asked begun saved succeeded"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PreviousExecutable, IsALinkOrACopyAndReplacesAStaleOne)
{
    ProgramFolder folder;
    test::writeFile(folder.path("lumora0"), "stale");
    EXPECT_TRUE(keepPreviousExecutable(folder.path("lumora").string(), folder.path("lumora0").string()));
    EXPECT_EQ(test::runProgram(folder.path("lumora0")), "old\n");
    EXPECT_FALSE(keepPreviousExecutable(folder.path("missing").string(), folder.path("kept").string()));
    EXPECT_FALSE(folder.exists("kept"));
}

struct SettleCase
{
    const char *name;
    bool swapped;            // a new lumora was renamed into place after the pending file
    const char *pending;     // nullptr: none written by the test
    bool recordChanges;
};

class Settle : public ::testing::TestWithParam<SettleCase>
{
};

// What the next start finds after the process was ended at any step of an update.
TEST_P(Settle, RecordFollowsTheExecutableInPlace)
{
    const SettleCase &c = GetParam();
    ProgramFolder folder;
    const std::string line = "http://127.0.0.1/erge/lumora-2";
    if (c.pending && std::string(c.pending) == "real")
        writePendingUpdate(folder.directory(), PendingUpdate{line, identityOf(folder.path("lumora").string())});
    else if (c.pending)
        test::writeFile(folder.path("update/Nupdate.pending"), c.pending);
    keepPreviousExecutable(folder.path("lumora").string(), folder.path("lumora0").string());
    if (c.swapped) {
        test::writeFile(folder.path(".lumora.staged"), test::scriptPrinting("new"), 0755);
        std::filesystem::rename(folder.path(".lumora.staged"), folder.path("lumora"));
    }

    startUpCleanUp(folder.directory());

    EXPECT_EQ(folder.record(), (c.recordChanges ? line : std::string(oldLine)) + "\r\n");
    EXPECT_EQ(test::runProgram(folder.path("lumora")), c.swapped ? "new\n" : "old\n");
    EXPECT_EQ(folder.entries(), (std::set<std::string>{"lumora", "update"}));
}

INSTANTIATE_TEST_SUITE_P(Interrupted, Settle,
                         ::testing::Values(SettleCase{"no_update", false, nullptr, false},
                                           SettleCase{"during_download", false, "real", false},
                                           SettleCase{"after_swap_before_record", true, "real", true},
                                           SettleCase{"swap_without_pending", true, nullptr, false},
                                           SettleCase{"damaged_pending", true, "http://x\r\n", false},
                                           SettleCase{"garbage_identity", true, "http://x\r\n12:ab\r\n", false}),
                         [](const auto &info) { return std::string(info.param.name); });

// Staging files of a process that is gone, and the executable staged by an earlier
// version, go at once; a living writer's staging file and other files stay.
TEST(StartUpCleanUp, RemovesOnlyAbandonedStagingFiles)
{
    ProgramFolder folder;
    const std::string hex(32, 'e');
    const std::string earlier = ".lumora." + hex + ".part";
    const std::string foreign = ".other." + hex + ".part";
    pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ::waitpid(gone, nullptr, 0);
    const std::string abandoned = ".kivora-" + std::to_string(gone) + "-0.part";
    const std::string living = ".kivora-" + std::to_string(::getppid()) + "-0.part";
    for (const std::string &name : {earlier, foreign, abandoned, living})
        test::writeFile(folder.path(name), "partial");

    startUpCleanUp(folder.directory());
    EXPECT_EQ(folder.entries(), (std::set<std::string>{foreign, living, "lumora", "update"}));
}

TEST(StartUpCleanUp, LeavesAFolderNamedLikeThePreviousExecutable)
{
    ProgramFolder folder;
    std::filesystem::create_directory(folder.path("lumora0"));
    startUpCleanUp(folder.directory());
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("lumora0")));
}

// A process killed while the new executable arrives leaves the old one runnable, and the
// next start finds a record that matches it.
TEST(KilledUpdate, LeavesTheOldProgramAndRecord)
{
    test::UpdateServer server(test::programPrinting("new", 4 * 1024 * 1024));
    ASSERT_TRUE(server.started());
    ProgramFolder folder;
    const std::string address = server.url("/stall");
    const std::string digest = test::sha256Hex(server.newExecutable());

    int output[2];
    ASSERT_EQ(::pipe(output), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::execl(KIVORA_FETCH_CHILD, KIVORA_FETCH_CHILD, folder.directory().c_str(), address.c_str(), digest.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(output[1]);
    char started[8] = {};
    EXPECT_EQ(::read(output[0], started, 7), 7);
    ::close(output[0]);
    EXPECT_TRUE(test::waitUntil([&server] { return server.halfSent(); }));
    EXPECT_TRUE(folder.exists("update/Nupdate.pending"));
    EXPECT_TRUE(folder.exists("lumora0"));

    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(test::runProgram(folder.path("lumora")), "old\n");
    EXPECT_EQ(folder.record(), std::string(oldLine) + "\r\n");
    startUpCleanUp(folder.directory());
    EXPECT_EQ(test::runProgram(folder.path("lumora")), "old\n");
    EXPECT_EQ(folder.record(), std::string(oldLine) + "\r\n");
    EXPECT_FALSE(folder.exists("lumora0"));
    EXPECT_FALSE(folder.exists("update/Nupdate.pending"));
}

} // namespace
} // namespace kivora
