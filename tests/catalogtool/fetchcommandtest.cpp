#include "tests/catalogtool/contentserver.h"
#include "tests/catalogtool/titlefiles.h"
#include "tests/catalogtool/toolprocess.h"
#include "tests/support/refusingport.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <csignal>

namespace kivora::test {
namespace {

constexpr std::size_t smallTitle = 64;

class FetchCommandTest : public ::testing::Test
{
protected:
    std::vector<std::string> fetch(const ContentServer &server, std::vector<std::string> selection) const
    {
        std::vector<std::string> arguments{"fetch", "--dir", program.path().string(), "--download-host", server.host()};
        arguments.insert(arguments.end(), selection.begin(), selection.end());
        return arguments;
    }

    // Every named title is in the program directory, whole, and the folder holds nothing else.
    void expectFetched(const std::vector<std::string> &names, std::size_t size) const
    {
        for (const auto &name : names)
            EXPECT_EQ(readFile(program.path() / name), titleBytes(name, size)) << name;
    }

    ScratchFolder served;
    ScratchFolder program;
};

TEST_F(FetchCommandTest, FillsTheNamedFoldersOnly)
{
    writeTitles(served.path(), titleNames("ywerger"), smallTitle);
    writeTitles(served.path(), titleNames("Xchangshi"), smallTitle);
    writeTitles(served.path(), titleNames("xgushi"), smallTitle);
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"ywerger", "Xchangshi"}));

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(entriesOf(program.path()), (std::vector<std::string>{"Xchangshi", "ywerger"}));
    expectFetched(titleNames("ywerger"), smallTitle);
    expectFetched(titleNames("Xchangshi"), smallTitle);
    EXPECT_EQ(entriesOf(program.path() / "ywerger").size(), titleNames("ywerger").size());
}

TEST_F(FetchCommandTest, AllFillsEveryCategory)
{
    const std::vector<std::string> names = titleNames();
    writeTitles(served.path(), names, 8);
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"--all"}));

    EXPECT_EQ(result.status, 0) << result.output;
    expectFetched(names, 8);
    EXPECT_EQ(entriesOf(program.path()).size(), 11u);
    EXPECT_EQ(server.requests().size(), names.size());
}

TEST_F(FetchCommandTest, LeavesPresentTitlesAloneAndAsksOnlyForTheOthers)
{
    const std::vector<std::string> names = titleNames("ywerger");
    writeTitles(served.path(), names, smallTitle);
    for (std::size_t i = 0; i < 3; ++i)
        writeFile(program.path() / names[i], "mine");
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"ywerger"}));

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Already present: 3 of 99 titles."), std::string::npos) << result.output;
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(readFile(program.path() / names[i]), "mine");
    expectFetched(std::vector<std::string>(names.begin() + 3, names.end()), smallTitle);
    EXPECT_EQ(server.requests().size(), names.size() - 3);

    const ToolResult again = runTool(fetch(server, {"ywerger"}));
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_NE(again.output.find("All 99 titles are already present."), std::string::npos) << again.output;
    EXPECT_EQ(server.requests().size(), names.size() - 3);
}

TEST_F(FetchCommandTest, TitlesTheServerLacksAreSummedUpAndFailTheRun)
{
    const std::vector<std::string> names = titleNames("ywerger");
    const std::vector<std::string> lacking{names[5], names[40]};
    writeTitles(served.path(), names, smallTitle);
    for (const auto &name : lacking)
        std::filesystem::remove(served.path() / name);
    {
        const ContentServer server(served.path());
        const ToolResult result = runTool(fetch(server, {"ywerger"}));

        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_NE(result.output.find("2 titles failed:\n  " + lacking[0] + ": "), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("\n  " + lacking[1] + ": "), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("Missing: 2 titles"), std::string::npos) << result.output;
        EXPECT_EQ(entriesOf(program.path() / "ywerger").size(), names.size() - 2);
    }

    // Once the server has them, a second run fetches just those two.
    writeTitles(served.path(), lacking, smallTitle);
    const ContentServer server(served.path());
    const ToolResult result = runTool(fetch(server, {"ywerger"}));
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(server.requests().size(), 2u);
    expectFetched(names, smallTitle);
}

TEST_F(FetchCommandTest, NoServerFailsEveryTitle)
{
    const RefusingPort refusing;
    const std::vector<std::string> arguments{"fetch", "--dir", program.path().string(), "--download-host",
                                             "127.0.0.1:" + std::to_string(refusing.port()), "Xchangshi"};

    const ToolResult result = runTool(arguments);

    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("86 titles failed:"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("no connection to the download server"), std::string::npos);
    EXPECT_TRUE(entriesOf(program.path() / "Xchangshi").empty());
}

TEST_F(FetchCommandTest, StopsOnInterruptWithOnlyWholeFilesAndContinuesOnTheNextRun)
{
    constexpr std::size_t size = 4000;
    const std::vector<std::string> names = titleNames("ywerger");
    writeTitles(served.path(), names, size);
    std::vector<std::string> present;
    {
        // Paced so that the interrupt finds transfers under way.
        const ContentServer server(served.path(), 4000);
        ToolProcess process(fetch(server, {"ywerger"}));
        ASSERT_TRUE(process.waitForOutput(" titles, ", 2)) << process.output();
        process.signal(SIGINT);
        EXPECT_EQ(process.finish(), 130) << process.output();
        EXPECT_NE(process.output().find("run the same command again to continue"), std::string::npos);

        present = entriesOf(program.path() / "ywerger");
        EXPECT_GE(present.size(), 2u);
        EXPECT_LT(present.size(), names.size());
        for (const auto &file : present)
            EXPECT_EQ(readFile(program.path() / "ywerger" / file), titleBytes("ywerger/" + file, size)) << file;
    }

    const ContentServer server(served.path());
    const ToolResult result = runTool(fetch(server, {"ywerger"}));
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Already present: " + std::to_string(present.size()) + " of 99"), std::string::npos)
        << result.output;
    EXPECT_EQ(server.requests().size(), names.size() - present.size());
    expectFetched(names, size);
}

TEST_F(FetchCommandTest, WritesPlainLinesWhenNotOnATerminal)
{
    writeTitles(served.path(), titleNames("Xchangshi"), smallTitle);
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"Xchangshi"}));

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find('\r'), std::string::npos);
    EXPECT_EQ(result.output.find('\033'), std::string::npos);
    // One line per title, the last one complete.
    EXPECT_EQ(countOf(result.output, " titles, "), 86u) << result.output;
    EXPECT_NE(result.output.find("\n86/86 titles, "), std::string::npos) << result.output;
}

TEST_F(FetchCommandTest, RedrawsOneLineOnATerminal)
{
    writeTitles(served.path(), titleNames("Xchangshi"), smallTitle);
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"Xchangshi"}), ToolProcess::Output::Terminal);

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("\r86/86 titles, "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\033[K"), std::string::npos);
    // Redrawn in place: the progress line ends only once, and the summary follows.
    EXPECT_EQ(countOf(result.output, "\n"), 2u) << result.output;
}

TEST_F(FetchCommandTest, RefusesUnknownFolders)
{
    const ContentServer server(served.path());

    const ToolResult result = runTool(fetch(server, {"ywerger", "nosuchfolder"}));

    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.output.find("'nosuchfolder'"), std::string::npos) << result.output;
    EXPECT_TRUE(entriesOf(program.path()).empty());
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(FetchCommandTest, RefusesAProgramDirectoryThatIsNotThere)
{
    const ContentServer server(served.path());
    const std::filesystem::path mistyped = program.path() / "kivoar";

    const ToolResult result =
        runTool({"fetch", "--dir", mistyped.string(), "--download-host", server.host(), "ywerger"});

    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.output.find("no program directory at " + mistyped.string()), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(mistyped));
    EXPECT_TRUE(server.requests().empty());
}

} // namespace
} // namespace kivora::test
