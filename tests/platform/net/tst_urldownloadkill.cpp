#include "tests/support/childawaitingport.h"
#include "tests/support/conditionwait.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"
#include "tests/support/serverroutes.h"
#include "platform/core/stagedfile.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloadoptions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kivora {
namespace {

// Bytes that process `pid` holds in an open file inside `folder`, named or not.
std::uintmax_t bytesStagedBy(pid_t pid, const std::filesystem::path &folder)
{
    std::uintmax_t largest = 0;
    std::error_code error;
    const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto &entry : std::filesystem::directory_iterator(fds, error)) {
        const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), error);
        if (error || target.parent_path() != folder)
            continue;
        struct stat info{};
        if (::stat(entry.path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
            largest = std::max<std::uintmax_t>(largest, info.st_size);
    }
    return largest;
}

class KilledDownload : public ::testing::TestWithParam<bool>
{
};

// The child downloads until it is killed.
TEST_P(KilledDownload, LeavesNoFileBehind)
{
    const bool unnamed = GetParam();
    test::ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::filesystem::path destination = folder.path() / "title.swf";

    test::ChildAwaitingPort downloader([&](int port) {
        UrlDownloadOptions options;
        options.stallTimeout = std::chrono::seconds(120);
        options.unnamedStagingFile = unnamed;
        return URLDownloadToFile(test::loopbackUrl(port, u"/stall"), destination.u16string(), nullptr, options) == S_OK
            ? 0
            : 1;
    });
    const pid_t child = downloader.pid();
    ASSERT_GT(child, 0);

    const std::string body = test::varyingBytes(4 * 1024 * 1024, 0);
    std::atomic<int> requests{0};
    std::atomic<bool> halfSent{false};
    test::LoopbackServer server;
    test::addDownloadRoutes(server, body, requests, halfSent);
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(downloader.sendPort(server.port()));

    const bool halfStored = test::waitUntil(
        [&] { return halfSent && bytesStagedBy(child, folder.path()) >= body.size() / 2; });
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(halfStored) << "the child never held half of the body";
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_FALSE(std::filesystem::exists(destination));
    if (unnamed) {
        EXPECT_EQ(folder.entries(), std::set<std::string>{});
        return;
    }
    // A named staging file can outlive its process; the next download into the folder
    // removes it.
    const std::set<std::string> left = folder.entries();
    for (const std::string &name : left)
        EXPECT_TRUE(StagedFile::isStagingName(name, nullptr)) << name;
    EXPECT_EQ(URLDownloadToFile(server.url(u"/fixed"), (folder.path() / "other.swf").u16string(), nullptr,
                                UrlDownloadOptions{}),
              S_OK);
    EXPECT_EQ(folder.entries(), std::set<std::string>{"other.swf"});
}

INSTANTIATE_TEST_SUITE_P(StagingFiles, KilledDownload, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? std::string("unnamed") : std::string("named");
                         });

} // namespace
} // namespace kivora
