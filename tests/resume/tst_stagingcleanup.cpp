#include "tests/resume/rangeserver.h"
#include "tests/resume/scratcharea.h"
#include "tests/support/testfiles.h"
#include "platform/net/resumerecord.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingarea.h"
#include "platform/net/stagingcleanup.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloadoptions.h"
#include "update/startupcleanup.h"

#include <gtest/gtest.h>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivora {
namespace {

constexpr std::time_t day = 24 * 60 * 60;

class StagingCleanup : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::create_directories(m_area.stagingArea()); }

    // An entry of `address` holding `bytes` (sparse, so that hundreds of megabytes cost
    // nothing), last written `age` seconds ago.
    StagingEntry addEntry(const std::string &address, std::uint64_t bytes, std::time_t age, bool withRecord = true)
    {
        const std::optional<StagingEntry> entry = stagingEntryFor(m_area.stagingArea(), address);
        EXPECT_TRUE(entry);
        const int fd = ::open(entry->body.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(bytes)), 0);
        ::close(fd);
        if (withRecord) {
            EXPECT_TRUE(writeResumeRecord(entry->record, {address, "\"v\"", bytes * 2}));
        }
        const timespec when[2] = {{std::time(nullptr) - age, 0}, {std::time(nullptr) - age, 0}};
        ::utimensat(AT_FDCWD, entry->body.c_str(), when, 0);
        if (withRecord)
            ::utimensat(AT_FDCWD, entry->record.c_str(), when, 0);
        return *entry;
    }

    static bool kept(const StagingEntry &entry)
    {
        return std::filesystem::exists(entry.body) && std::filesystem::exists(entry.record);
    }
    static bool gone(const StagingEntry &entry)
    {
        return !std::filesystem::exists(entry.body) && !std::filesystem::exists(entry.record);
    }

    test::ScratchArea m_area;
};

TEST_F(StagingCleanup, EntriesOlderThanThirtyDaysGo)
{
    const StagingEntry fresh = addEntry("http://127.0.0.1/fresh.swf", 1000, 29 * day);
    const StagingEntry old = addEntry("http://127.0.0.1/old.swf", 1000, 31 * day);
    pruneStagingArea(m_area.stagingArea());
    EXPECT_TRUE(kept(fresh));
    EXPECT_TRUE(gone(old));
}

TEST_F(StagingCleanup, OldestGoFirstUntilFiveHundredMegabytesRemain)
{
    constexpr std::uint64_t megabyte = 1024 * 1024;
    const StagingEntry oldest = addEntry("http://127.0.0.1/a.swf", 200 * megabyte, 5 * day);
    const StagingEntry middle = addEntry("http://127.0.0.1/b.swf", 200 * megabyte, 4 * day);
    const StagingEntry newer = addEntry("http://127.0.0.1/c.swf", 150 * megabyte, 3 * day);
    const StagingEntry newest = addEntry("http://127.0.0.1/d.swf", 150 * megabyte, 2 * day);
    pruneStagingArea(m_area.stagingArea());
    EXPECT_TRUE(gone(oldest));
    EXPECT_TRUE(kept(middle)) << "200 + 150 + 150 MB fit exactly";
    EXPECT_TRUE(kept(newer));
    EXPECT_TRUE(kept(newest));
}

TEST_F(StagingCleanup, EntriesThatCannotBeContinuedGo)
{
    const StagingEntry bodyOnly = addEntry("http://127.0.0.1/body.swf", 10, day, false);
    const StagingEntry recordOnly = addEntry("http://127.0.0.1/record.swf", 10, day);
    std::filesystem::remove(recordOnly.body);
    const StagingEntry damaged = addEntry("http://127.0.0.1/damaged.swf", 10, day);
    test::writeFile(damaged.record, "url http://127.0.0.1/damaged.swf\n");
    const std::string stranger = m_area.stagingArea() + "notes.txt";
    test::writeFile(stranger, "not ours");
    pruneStagingArea(m_area.stagingArea());
    EXPECT_TRUE(gone(bodyOnly));
    EXPECT_TRUE(gone(recordOnly));
    EXPECT_TRUE(gone(damaged));
    EXPECT_TRUE(std::filesystem::exists(stranger));
}

TEST_F(StagingCleanup, DownloadMakesRoomWithinTheCapForWhatItStages)
{
    constexpr std::uint64_t megabyte = 1024 * 1024;
    const StagingEntry oldest = addEntry("http://127.0.0.1/a.swf", 250 * megabyte, 3 * day);
    const StagingEntry newer = addEntry("http://127.0.0.1/b.swf", 249 * megabyte, 2 * day);
    test::RangeServer server({test::varyingBytes(2 * megabyte, 8), "\"v1\"", {}});
    server.cutNextAfter(megabyte);
    UrlDownloadOptions options;
    options.stagingArea = m_area.stagingArea();
    EXPECT_NE(URLDownloadToFile(server.url(), m_area.destination().u16string(), nullptr, options), S_OK);
    EXPECT_TRUE(gone(oldest)) << "250 + 249 + 2 MB are more than 500";
    EXPECT_TRUE(kept(newer));
    EXPECT_EQ(m_area.stagedNames().size(), 4u) << "the cut-off download keeps its bytes";
}

TEST_F(StagingCleanup, EntryHeldByARunningDownloadStays)
{
    const StagingEntry held = addEntry("http://127.0.0.1/held.swf", 1000, 40 * day);
    StagedFile running(m_area.destination().string(), StagedFile::Continuing{held.body});
    ASSERT_TRUE(running.isOpen());
    pruneStagingArea(m_area.stagingArea(), StagingLimits{std::chrono::hours(1), 0});
    EXPECT_TRUE(kept(held));
}

TEST_F(StagingCleanup, StartUpCleansTheProgramDirectorysArea)
{
    const std::string programDirectory = m_area.root().string() + "/";
    ASSERT_EQ(stagingAreaOf(programDirectory), m_area.stagingArea());
    const StagingEntry old = addEntry("http://127.0.0.1/old.swf", 1000, 31 * day);
    const StagingEntry fresh = addEntry("http://127.0.0.1/fresh.swf", 1000, day);
    startUpCleanUp(programDirectory);
    EXPECT_TRUE(gone(old));
    EXPECT_TRUE(kept(fresh));
}

} // namespace
} // namespace kivora
