#include "transfer/Utushuthread2.h"

#include "platform/core/bindstatuscodes.h"
#include "tests/support/conditionwait.h"
#include "platform/core/detachablebindstatus.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/progresscollector.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"
#include "tests/support/serverroutes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kivora {
namespace {

using test::ProgressReport;
using test::readFile;

// The window side: a collector behind the detachable sink that a window hands to its
// jobs. The test keeps only a weak reference to that sink, so its expiry shows that
// every job holding it has released itself.
class FileTransferJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        test::addDownloadRoutes(m_server, m_body, m_requests, m_halfSent);
        ASSERT_TRUE(m_server.start());
    }

    // As a window's destructor does: a job that is still running reaches nothing.
    void TearDown() override
    {
        if (const std::shared_ptr<IBindStatusCallback> alive = m_sink.lock())
            m_detachable->detach();
    }

    std::shared_ptr<IBindStatusCallback> newSink()
    {
        auto sink = std::make_shared<DetachableBindStatus>(&m_collector);
        m_sink = sink;
        m_detachable = sink.get();
        return sink;
    }

    bool jobsReleased() const { return m_sink.expired(); }

    std::filesystem::path destination() const { return m_folder.path() / "做客歌.swf"; }

    const std::string m_body = test::varyingBytes(512 * 1024 + 7, 0);
    test::ScratchFolder m_folder;
    test::LoopbackServer m_server;
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_halfSent{false};
    test::ProgressCollector m_collector;
    std::weak_ptr<IBindStatusCallback> m_sink;
    DetachableBindStatus *m_detachable = nullptr;
};

TEST_F(FileTransferJobTest, DownloadsOnItsOwnThreadReportsAndReleasesItself)
{
    tushuthread2::start(m_server.url(u"/fixed"), destination().u16string(), newSink());

    ASSERT_TRUE(test::waitUntil([this] { return jobsReleased(); }));
    EXPECT_EQ(readFile(destination()), m_body);
    EXPECT_EQ(m_folder.entries(), std::set<std::string>{"做客歌.swf"});
    const std::vector<ProgressReport> reports = m_collector.reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().status, BINDSTATUS_FINDINGRESOURCE);
    EXPECT_EQ(reports.back().progress, m_body.size());
    EXPECT_EQ(reports.back().total, m_body.size());
    for (const ProgressReport &report : reports) {
        EXPECT_NE(report.thread, std::this_thread::get_id());
        EXPECT_EQ(report.thread, reports.front().thread);
    }
}

TEST_F(FileTransferJobTest, FailedDownloadLeavesNoFileAndReleasesItself)
{
    for (const char16_t *route : {u"/missing", u"/short"}) {
        tushuthread2::start(m_server.url(route), destination().u16string(), newSink());

        ASSERT_TRUE(test::waitUntil([this] { return jobsReleased(); }));
        EXPECT_EQ(m_folder.entries(), std::set<std::string>{});
    }
    for (const ProgressReport &report : m_collector.reports())
        EXPECT_FALSE(report.total != 0 && report.progress >= report.total);
}

TEST_F(FileTransferJobTest, StartReturnsWhileTheTransferIsStillRunning)
{
    tushuthread2::start(m_server.url(u"/silent"), destination().u16string(), newSink());

    ASSERT_TRUE(test::waitUntil([this] { return m_requests.load() == 1; }));
    EXPECT_FALSE(jobsReleased());
    EXPECT_FALSE(std::filesystem::exists(destination()));
    m_server.stallGate().open();
    ASSERT_TRUE(test::waitUntil([this] { return jobsReleased(); }));
    EXPECT_EQ(readFile(destination()), "late");
}

TEST_F(FileTransferJobTest, DetachedSinkHearsNothingMore)
{
    tushuthread2::start(m_server.url(u"/pause"), destination().u16string(), newSink());
    ASSERT_TRUE(test::waitUntil([this] { return m_halfSent && m_collector.count() >= 2; }));

    m_detachable->detach();
    const std::size_t heard = m_collector.count();
    m_server.stallGate().open();

    ASSERT_TRUE(test::waitUntil([this] { return jobsReleased(); }));
    EXPECT_EQ(readFile(destination()), m_body) << "detaching the sink does not stop the job";
    EXPECT_EQ(m_collector.count(), heard);
}

TEST_F(FileTransferJobTest, TwoJobsForOneTitleBothEndWithTheCompleteFile)
{
    std::shared_ptr<IBindStatusCallback> sink = newSink();
    tushuthread2::start(m_server.url(u"/pause"), destination().u16string(), sink);
    tushuthread2::start(m_server.url(u"/fixed"), destination().u16string(), sink);
    sink.reset();
    ASSERT_TRUE(test::waitUntil([this] { return m_halfSent.load(); }));
    m_server.stallGate().open();

    ASSERT_TRUE(test::waitUntil([this] { return jobsReleased(); }));
    EXPECT_EQ(readFile(destination()), m_body);
    EXPECT_EQ(m_folder.entries(), std::set<std::string>{"做客歌.swf"});
    std::size_t completions = 0;
    for (const ProgressReport &report : m_collector.reports())
        completions += report.status == BINDSTATUS_ENDDOWNLOADDATA && report.progress == m_body.size();
    EXPECT_EQ(completions, 2u);
}

} // namespace
} // namespace kivora
