#include "tests/catalogtool/demodownloadserver.h"
#include "tests/catalogtool/titlefiles.h"
#include "tests/support/scratchfolder.h"
#include "tests/catalogtool/toolprocess.h"
#include "tests/support/refusingport.h"

#include <gtest/gtest.h>

namespace kivora::test {
namespace {

TEST(CheckCommandTest, ListsTheTitlesTheServerLacksAskingWithHead)
{
    const ScratchFolder served;
    const std::vector<std::string> names = titleNames("ywerger");
    writeTitles(served.path(), names, 16);
    std::filesystem::remove(served.path() / names[0]);
    std::filesystem::remove(served.path() / names[98]);
    const DemoDownloadServer server(served.path());
    const ScratchFolder program;
    writeTitles(program.path(), {names[1]}, 16);

    const ToolResult result =
        runTool({"check", "--dir", program.path().string(), "--download-host", server.host(), "ywerger"});

    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_EQ(countOf(result.output, "missing: "), 2u) << result.output;
    EXPECT_NE(result.output.find("missing: " + names[0] + " (HTTP 404)\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("missing: " + names[98] + " (HTTP 404)\n"), std::string::npos) << result.output;
    const auto requests = server.requests();
    EXPECT_EQ(requests.size(), names.size());
    for (const auto &request : requests)
        EXPECT_TRUE(request.starts_with("HEAD /ywerger/")) << request;
    EXPECT_NE(result.output.find(program.path().string() + " holds 1 of them.\n"), std::string::npos) << result.output;
}

TEST(CheckCommandTest, PassesWhenTheServerHasEveryTitle)
{
    const ScratchFolder served;
    writeTitles(served.path(), titleNames("Xchangshi"), 16);
    writeTitles(served.path(), titleNames("xgushi"), 16);
    const DemoDownloadServer server(served.path());

    const ToolResult result = runTool({"check", "--download-host", server.host(), "--jobs", "3", "Xchangshi", "xgushi"});

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Asked about 185 titles: 0 missing on the server.\n"), std::string::npos)
        << result.output;
}

TEST(CheckCommandTest, AnUnreachableServerFailsTheCheck)
{
    const RefusingPort refusing;

    const ToolResult result =
        runTool({"check", "--download-host", "127.0.0.1:" + std::to_string(refusing.port()), "Xchangshi"});

    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_EQ(countOf(result.output, "no answer: Xchangshi/"), 86u) << result.output;
    EXPECT_NE(result.output.find(", 86 without an answer."), std::string::npos) << result.output;
}

} // namespace
} // namespace kivora::test
