#include "transfer/Utushuthread2.h"

#include "tests/support/childawaitingport.h"
#include "tests/support/conditionwait.h"
#include "platform/core/detachablebindstatus.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/progresscollector.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/serverroutes.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/wait.h>

namespace kivora {
namespace {

// The program ends the ordinary way (static destructors and all) while a download job is
// half-way through: it must end at once and cleanly, and leave neither the title nor a
// partial file behind.
TEST(ProgramEnd, DuringADownloadLeavesNothingAndDoesNotCrash)
{
    test::ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::filesystem::path destination = folder.path() / "小兔子乖乖 2.swf";

    test::ChildAwaitingPort program([&](int port) {
        static test::ProgressCollector collector;
        auto sink = std::make_shared<DetachableBindStatus>(&collector);
        tushuthread2::start(test::loopbackUrl(port, u"/stall"), destination.u16string(), sink);
        // Data has arrived: the job sits inside the transfer, waiting for the rest.
        if (!test::waitUntil([] { return collector.count() >= 2; }))
            return 3;
        // As the program ends: the windows go first, each detaching its sink.
        sink->detach();
        std::exit(0);
    });
    const pid_t child = program.pid();
    ASSERT_GT(child, 0);

    const std::string body = test::varyingBytes(1024 * 1024, 0);
    std::atomic<int> requests{0};
    std::atomic<bool> halfSent{false};
    test::LoopbackServer server;
    test::addDownloadRoutes(server, body, requests, halfSent);
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(program.sendPort(server.port()));

    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended on signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(halfSent);
    EXPECT_EQ(folder.entries(), std::set<std::string>{});
}

} // namespace
} // namespace kivora
