#include "tests/resume/rangeserver.h"
#include "tests/resume/scratcharea.h"
#include "tests/support/testfiles.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingarea.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloaderrors.h"
#include "platform/net/urldownloadoptions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kivora {
namespace {

using test::RangeServer;
using test::ServedResource;
using test::ServerQuirks;

class ResumedDownload : public ::testing::Test
{
protected:
    HRESULT download(const RangeServer &server)
    {
        UrlDownloadOptions options;
        options.stagingArea = m_area.stagingArea();
        return URLDownloadToFile(server.url(), m_area.destination().u16string(), nullptr, options);
    }

    std::string stored() const { return test::readFile(m_area.destination()); }
    bool destinationExists() const { return std::filesystem::exists(m_area.destination()); }

    test::ScratchArea m_area;
    const std::string m_body = test::varyingBytes(1024 * 1024 + 17, 1);
};

// --- A cut-off download goes on from where it stopped ---------------------------------

class CutDownload : public ResumedDownload, public ::testing::WithParamInterface<int>
{
};

TEST_P(CutDownload, AsksOnlyForTheRest)
{
    const std::uint64_t cut = m_body.size() * static_cast<std::uint64_t>(GetParam()) / 100;
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(cut);
    EXPECT_NE(download(server), S_OK);
    EXPECT_FALSE(destinationExists()) << "a partial file must never reach the category folder";
    EXPECT_EQ(m_area.stagedNames().size(), 2u) << "the body and its record are kept";

    const std::uint64_t sentBefore = server.bodyBytesSent();
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(server.bodyBytesSent() - sentBefore, m_body.size() - cut);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(test::headerValue(requests[0], "Range"), "");
    EXPECT_EQ(test::headerValue(requests[1], "Range"), "bytes=" + std::to_string(cut) + "-");
    EXPECT_EQ(test::headerValue(requests[1], "If-Range"), "\"v1\"");
    EXPECT_TRUE(m_area.stagedNames().empty()) << "a finished download keeps nothing";
}

INSTANTIATE_TEST_SUITE_P(Percent, CutDownload, ::testing::Values(10, 50, 99));

TEST_F(ResumedDownload, LastModifiedValidatesWhenThereIsNoEtag)
{
    const std::string date = "Tue, 01 Dec 2026 08:00:00 GMT";
    RangeServer server({m_body, {}, date, "Tue, 01 Dec 2026 08:00:01 GMT"});
    server.cutNextAfter(1000);
    EXPECT_NE(download(server), S_OK);
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(test::headerValue(server.requests().at(1), "If-Range"), date);
}

TEST_F(ResumedDownload, TwoCutsInARowStillAddUp)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(100000);
    EXPECT_NE(download(server), S_OK);
    server.cutNextAfter(300000);
    EXPECT_NE(download(server), S_OK);
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(test::headerValue(server.requests().at(2), "Range"), "bytes=400000-");
    EXPECT_EQ(server.bodyBytesSent(), m_body.size());
}

// --- When the kept bytes cannot be continued, the download starts over ----------------

struct StartOverCase
{
    const char *name;
    std::string etag;
    std::string lastModified;
    std::string date;
};

class StartOver : public ResumedDownload, public ::testing::WithParamInterface<StartOverCase>
{
};

TEST_P(StartOver, WithoutAStrongValidatorNothingIsKept)
{
    RangeServer server({m_body, GetParam().etag, GetParam().lastModified, GetParam().date});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    EXPECT_FALSE(std::filesystem::exists(m_area.stagingArea()))
        << "the staging area is made only for bytes that can be continued";
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(test::headerValue(server.requests().at(1), "Range"), "");
}

INSTANTIATE_TEST_SUITE_P(Validators, StartOver,
                         ::testing::Values(StartOverCase{"none", {}, {}, {}},
                                           StartOverCase{"weakEtag", "W/\"v1\"", {}, {}},
                                           // Modified again within the second it is sent in.
                                           StartOverCase{"weakLastModified", {}, "Tue, 01 Dec 2026 08:00:00 GMT",
                                                         "Tue, 01 Dec 2026 08:00:00 GMT"},
                                           StartOverCase{"lastModifiedWithoutDate", {},
                                                         "Tue, 01 Dec 2026 08:00:00 GMT", {}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ResumedDownload, ServerIgnoringRangesSendsTheWholeResourceOnce)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.setQuirks({.ignoreRanges = true});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    const std::uint64_t sentBefore = server.bodyBytesSent();
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body) << "the kept half must not be put in front of the whole";
    EXPECT_EQ(server.bodyBytesSent() - sentBefore, m_body.size());
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(ResumedDownload, ChangedResourceIsFetchedWholeWithoutOldBytes)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    const std::string changed = test::varyingBytes(m_body.size() + 5000, 2);
    server.setResource({changed, "\"v2\"", {}});
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), changed);
    EXPECT_TRUE(m_area.stagedNames().empty());

    // The new version's own cut-off bytes are continued under its own validator.
    server.cutNextAfter(changed.size() / 3);
    std::filesystem::remove(m_area.destination());
    EXPECT_NE(download(server), S_OK);
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), changed);
    EXPECT_EQ(test::headerValue(server.requests().back(), "If-Range"), "\"v2\"");
}

TEST_F(ResumedDownload, RangeNotSatisfiableDropsTheKeptBytesAndStartsOver)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    // Same validator, but shorter now than the bytes kept: the server refuses the range.
    const std::string shorter = m_body.substr(0, m_body.size() / 4);
    server.setResource({shorter, "\"v1\"", {}});
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), shorter);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(test::headerValue(requests[1], "Range"), "");
    EXPECT_EQ(test::headerValue(requests[2], "Range"), "") << "the retry asks for the whole resource";
    EXPECT_TRUE(m_area.stagedNames().empty());
}

TEST_F(ResumedDownload, PartialAnswerOfAnotherSizeIsNotAppended)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    // A broken server: a new resource under the old validator, answered as a range.
    const std::string longer = test::varyingBytes(m_body.size() * 2, 3);
    server.setResource({longer, "\"v1\"", {}});
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), longer);
    EXPECT_EQ(server.requests().size(), 3u);
}

TEST_F(ResumedDownload, BytesWithoutAReadableRecordAreNotContinued)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    for (const std::string &name : m_area.stagedNames())
        if (name.ends_with(stagingRecordSuffix))
            test::writeFile(m_area.stagingArea() + name, "url http://127.0.0.1/other.swf\nvalid");
    const std::uint64_t sentBefore = server.bodyBytesSent();
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(test::headerValue(server.requests().back(), "Range"), "");
    EXPECT_EQ(server.bodyBytesSent() - sentBefore, m_body.size());
}

// --- A range is saved only as the rest of the very bytes held --------------------------

TEST_F(ResumedDownload, RangeOfUnknownTotalAfterACutChunkedAnswerIsNotSaved)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.setQuirks({.chunked = true, .sliceBytes = 100000, .unknownTotal = true});
    server.cutNextAfter(100000);
    EXPECT_NE(download(server), S_OK);
    // Neither answer says how long the resource is: its end is known only from a whole one.
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(test::headerValue(requests[1], "Range"), "bytes=100000-");
    EXPECT_EQ(test::headerValue(requests[2], "Range"), "");
}

TEST_F(ResumedDownload, RangesShortOfTheTotalAreKeptUntilTheFileIsWhole)
{
    const std::string body = test::varyingBytes(350000, 6);
    RangeServer server({body, "\"v1\"", {}});
    server.setQuirks({.chunked = true, .sliceBytes = 100000});
    server.cutNextAfter(100000);
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_NE(download(server), S_OK) << attempt;
        EXPECT_FALSE(destinationExists()) << attempt;
    }
    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), body);
    EXPECT_EQ(server.bodyBytesSent(), body.size()) << "each slice is kept and continued";
}

struct MisfitCase
{
    const char *name;
    ServerQuirks quirks;
    ServedResource served;  // validators only; the test supplies the body
    ServedResource changed; // validators of another body of the same size; none: unchanged
};

class MisfitRange : public ResumedDownload, public ::testing::WithParamInterface<MisfitCase>
{
};

TEST_P(MisfitRange, IsNotAppendedAndTheWholeResourceIsFetched)
{
    const MisfitCase &c = GetParam();
    ServedResource served = c.served;
    served.body = m_body;
    RangeServer server(served);
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    if (!c.changed.etag.empty() || !c.changed.lastModified.empty()) {
        served = c.changed;
        served.body = test::varyingBytes(m_body.size(), 7);
        server.setResource(served);
    }
    server.setQuirks(c.quirks);

    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), served.body);
    const std::vector<std::string> requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(test::headerValue(requests[2], "Range"), "") << "the retry asks for the whole resource";
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MisfitRange,
    ::testing::Values(MisfitCase{"startsBeforeTheHeldBytes", {.startEarlier = 1000}, {{}, "\"v1\"", {}, {}}, {}},
                      // A server that ignores If-Range answers with a range of what it has now.
                      MisfitCase{"otherEtag", {.ignoreIfRange = true}, {{}, "\"v1\"", {}, {}},
                                 {{}, "\"v2\"", {}, {}}},
                      MisfitCase{"otherLastModified",
                                 {.ignoreIfRange = true},
                                 {{}, {}, "Tue, 01 Dec 2026 08:00:00 GMT", "Tue, 01 Dec 2026 09:00:00 GMT"},
                                 {{}, {}, "Tue, 01 Dec 2026 08:30:00 GMT", "Tue, 01 Dec 2026 09:00:00 GMT"}}),
    [](const auto &info) { return std::string(info.param.name); });

// --- Only regular files are staging files ---------------------------------------------

enum class Intruder { Fifo, Link, Folder };

struct IntruderCase
{
    const char *name;
    const char *suffix; // of the entry file it takes the place of
    Intruder kind;
};

class StagingIntruder : public ResumedDownload, public ::testing::WithParamInterface<IntruderCase>
{
};

// Without the check, a FIFO in place of the record holds the download for good: the test's
// time-out tells.
TEST_P(StagingIntruder, IsRemovedOrLeftAndTheDownloadGoesOn)
{
    const IntruderCase &c = GetParam();
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(m_body.size() / 2);
    EXPECT_NE(download(server), S_OK);
    std::string path;
    for (const std::string &name : m_area.stagedNames())
        if (name.ends_with(c.suffix))
            path = m_area.stagingArea() + name;
    ASSERT_FALSE(path.empty());
    std::filesystem::remove(path);
    const std::filesystem::path outside = m_area.root() / "outside.swf";
    test::writeFile(outside, "mine");
    switch (c.kind) {
    case Intruder::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Intruder::Link:
        std::filesystem::create_symlink(outside, path);
        break;
    case Intruder::Folder:
        test::writeFile(std::filesystem::path(path) / "inside", "not ours");
        break;
    }

    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), m_body);
    EXPECT_EQ(test::readFile(outside), "mine");
    const std::filesystem::file_status found = std::filesystem::symlink_status(path);
    if (c.kind == Intruder::Folder)
        EXPECT_TRUE(std::filesystem::is_directory(found)) << "a folder with files in it is left as it is";
    else
        EXPECT_FALSE(std::filesystem::exists(found));
}

INSTANTIATE_TEST_SUITE_P(Entries, StagingIntruder,
                         ::testing::Values(IntruderCase{"fifoRecord", stagingRecordSuffix, Intruder::Fifo},
                                           IntruderCase{"fifoBody", stagingBodySuffix, Intruder::Fifo},
                                           IntruderCase{"linkedBody", stagingBodySuffix, Intruder::Link},
                                           IntruderCase{"folderRecord", stagingRecordSuffix, Intruder::Folder}),
                         [](const auto &info) { return std::string(info.param.name); });

// --- An endless body fills nothing ----------------------------------------------------

struct SizeLimitCase
{
    const char *name;
    bool endless;
    std::uint64_t limit;
};

class SizeLimit : public ResumedDownload, public ::testing::WithParamInterface<SizeLimitCase>
{
};

TEST_P(SizeLimit, RefusesTheBodyAndKeepsNothing)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.setQuirks({.endless = GetParam().endless});
    std::filesystem::create_directories(m_area.stagingArea());
    const auto before = m_area.contents();
    UrlDownloadOptions options;
    options.stagingArea = m_area.stagingArea();
    options.sizeLimit = GetParam().limit;
    EXPECT_EQ(URLDownloadToFile(server.url(), m_area.destination().u16string(), nullptr, options), E_FILE_TOO_LARGE);
    EXPECT_EQ(m_area.contents(), before);
}

INSTANTIATE_TEST_SUITE_P(Bodies, SizeLimit,
                         ::testing::Values(SizeLimitCase{"endless", true, 3 * 1024 * 1024},
                                           SizeLimitCase{"announcedPastTheLimit", false, 1024 * 1024}),
                         [](const auto &info) { return std::string(info.param.name); });

// Runs in a child process whose mount namespace is its own, so that the small file system
// goes with it. Answers what is wrong, "no mount" when this process may not mount.
std::string downloadIntoSmallFileSystem(const test::ScratchArea &area, const RangeServer &server)
{
    const std::string root = area.root().string();
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount("kivora-test", root.c_str(), "tmpfs", 0, "size=4m") != 0)
        return "no mount";
    std::filesystem::create_directories(area.destination().parent_path());
    std::filesystem::create_directories(area.stagingArea());
    struct statvfs before{};
    ::statvfs(root.c_str(), &before);
    const auto contents = area.contents();
    UrlDownloadOptions options;
    options.stagingArea = area.stagingArea();
    const HRESULT result = URLDownloadToFile(server.url(), area.destination().u16string(), nullptr, options);
    struct statvfs after{};
    ::statvfs(root.c_str(), &after);
    std::string wrong;
    if (result != STG_E_WRITEFAULT)
        wrong += "the download answered " + std::to_string(static_cast<std::uint32_t>(result)) + "; ";
    if (after.f_bfree != before.f_bfree)
        wrong += std::to_string(before.f_bfree) + " blocks were free, now " + std::to_string(after.f_bfree) + "; ";
    if (area.contents() != contents)
        wrong += "files were left";
    return wrong;
}

TEST_F(ResumedDownload, EndlessBodyIntoASmallFileSystemLeavesItAsItWas)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.setQuirks({.endless = true});
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        const std::string wrong = downloadIntoSmallFileSystem(m_area, server);
        const ssize_t written = ::write(report[1], wrong.data(), wrong.size());
        ::_exit(written == static_cast<ssize_t>(wrong.size()) ? 0 : 1);
    }
    ::close(report[1]);
    std::string wrong;
    char buffer[256];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
        wrong.append(buffer, static_cast<std::size_t>(got));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (wrong == "no mount")
        GTEST_SKIP() << "this process may not mount a file system; the size limit stands for it";
    EXPECT_EQ(wrong, "");
}

// --- Two downloads of one address at once ---------------------------------------------

TEST_F(ResumedDownload, SecondDownloadOfAHeldAddressLeavesTheEntryAlone)
{
    RangeServer server({m_body, "\"v1\"", {}});
    server.cutNextAfter(4096);
    EXPECT_NE(download(server), S_OK);
    const std::set<std::string> kept = m_area.stagedNames();
    std::string body;
    for (const std::string &name : kept)
        if (name.ends_with(stagingBodySuffix))
            body = m_area.stagingArea() + name;
    ASSERT_FALSE(body.empty());

    {
        // Stands for a download of the same address that is still running.
        StagedFile running(m_area.destination().string(), StagedFile::Continuing{body});
        ASSERT_TRUE(running.isOpen());
        ASSERT_EQ(download(server), S_OK);
        EXPECT_EQ(stored(), m_body);
        EXPECT_EQ(test::headerValue(server.requests().back(), "Range"), "");
        StagedFile second(m_area.destination().string(), StagedFile::Continuing{body});
        EXPECT_FALSE(second.isOpen());
    }
    EXPECT_EQ(m_area.stagedNames(), kept);
    EXPECT_EQ(std::filesystem::file_size(body), 4096u);
}

// --- A killed program resumes when started again --------------------------------------

TEST_F(ResumedDownload, ProcessKilledMidDownloadIsResumedByTheNext)
{
    const std::string body = test::varyingBytes(4 * 1024 * 1024, 4);
    const std::uint64_t half = body.size() / 2;
    RangeServer server({body, "\"big\"", {}});
    server.stallNextAfter(half);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        UrlDownloadOptions options;
        options.stagingArea = m_area.stagingArea();
        options.stallTimeout = std::chrono::minutes(5);
        URLDownloadToFile(server.url(), m_area.destination().u16string(), nullptr, options);
        ::_exit(0);
    }

    // Waits for the child to hold half of the body in its staging entry; a bounded wait
    // for a condition, not a measurement.
    const auto heldBytes = [&] {
        std::uintmax_t largest = 0;
        std::error_code error;
        for (const std::string &name : m_area.stagedNames())
            if (name.ends_with(stagingBodySuffix))
                largest = std::max(largest, std::filesystem::file_size(m_area.stagingArea() + name, error));
        return largest;
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (heldBytes() < half && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(heldBytes(), half);
    EXPECT_FALSE(destinationExists());

    ASSERT_EQ(download(server), S_OK);
    EXPECT_EQ(stored(), body);
    EXPECT_EQ(test::headerValue(server.requests().back(), "Range"), "bytes=" + std::to_string(half) + "-");
}

// --- How much a resumed download transfers --------------------------------------------

TEST_F(ResumedDownload, HundredMegabytesCutAtNinetyPercentTransferAtMostElevenMore)
{
    const std::string large = test::varyingBytes(100 * 1000 * 1000, 5);
    RangeServer server({large, "\"large\"", {}});
    server.cutNextAfter(large.size() * 9 / 10);
    EXPECT_NE(download(server), S_OK);
    const std::uint64_t sentBefore = server.bodyBytesSent();
    ASSERT_EQ(download(server), S_OK);
    EXPECT_LE(server.bodyBytesSent() - sentBefore, 11u * 1000 * 1000);
    EXPECT_TRUE(stored() == large);
}

} // namespace
} // namespace kivora
