#include "platform/core/programdirectory.h"
#include "tests/nginx/nginxserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/update/recordingview.h"
#include "tests/update/updatefixture.h"

#include <gtest/gtest.h>

namespace kivora {
namespace {

constexpr char oldLine[] = "http://127.0.0.1/erge/lumora-1.0.0.0";

using test::RecordingView;

// An update server made of plain files: the version file and the new executable it names.
class NginxUpdate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string reason = test::NginxServer::unavailableReason();
        if (!reason.empty())
            GTEST_SKIP() << reason;
        if (!test::canSignUpdates())
            GTEST_SKIP() << "this build has the publisher's update key";
        test::writeFile(m_content.path() / "erge/lumora-1.0.0.1", m_newExecutable);
        ASSERT_TRUE(m_server.start()) << m_server.error();
        m_newLine = "http://" + m_server.host() + "/erge/lumora-1.0.0.1";

        test::writeFile(program("lumora"), test::scriptPrinting("old"), 0755);
        test::writeFile(program("update/Nupdate.txt"), std::string(oldLine) + "\r\n");
        setProgramDirectoryForTesting(m_program.path().string() + "/");
    }
    void TearDown() override { setProgramDirectoryForTesting({}); }

    std::filesystem::path program(const std::string &name) const { return m_program.path() / name; }

    void publish(const std::string &versionFile) { test::writeFile(m_content.path() / "erge/update.txt", versionFile); }

    // One click on the update site, carried through to its end.
    RecordingView runCheck()
    {
        RecordingView view;
        EXPECT_TRUE(test::runUpdateCheck(view, "http://" + m_server.host() + "/erge/update.txt")) << m_server.accessLog();
        return view;
    }

    test::ScratchFolder m_content;
    test::ScratchFolder m_program;
    test::NginxServer m_server{m_content.path()};
    const std::string m_newExecutable = test::programPrinting("new", 300 * 1024);
    std::string m_newLine;
};

TEST_F(NginxUpdate, ReplacesTheExecutableWhoseDigestMatches)
{
    publish(test::signedVersionFile(m_newLine, m_newExecutable));

    const RecordingView view = runCheck();
    EXPECT_TRUE(view.asked);
    ASSERT_TRUE(view.saved) << m_server.accessLog();
    EXPECT_TRUE(view.savedSucceeded);
    EXPECT_EQ(view.lastPercent, 100);
    EXPECT_EQ(test::readFile(program("update/Nupdate.txt")), m_newLine + "\r\n");
    EXPECT_EQ(test::runProgram(program("lumora")), "new\n");
    EXPECT_EQ(test::runProgram(program("lumora0")), "old\n");
    EXPECT_TRUE(m_server.logged("GET /erge/lumora-1.0.0.1 200")) << m_server.accessLog();

    // The next click finds the installation up to date.
    EXPECT_TRUE(runCheck().noUpdate);
}

TEST_F(NginxUpdate, KeepsTheOldProgramWhenTheDigestDiffers)
{
    publish(test::signVersionFile(m_newLine + "\nsha256=" + test::sha256Hex("another executable") + "\n"));

    const RecordingView view = runCheck();
    EXPECT_TRUE(view.asked);
    EXPECT_TRUE(view.failed);
    EXPECT_FALSE(view.saved);
    EXPECT_EQ(test::readFile(program("update/Nupdate.txt")), std::string(oldLine) + "\r\n");
    EXPECT_EQ(test::runProgram(program("lumora")), "old\n");
    EXPECT_FALSE(std::filesystem::exists(program("lumora0")));
}

TEST_F(NginxUpdate, KeepsTheOldProgramWhenTheExecutableIsMissing)
{
    publish(test::signedVersionFile(m_newLine + "-missing", m_newExecutable));

    const RecordingView view = runCheck();
    EXPECT_TRUE(view.failed);
    EXPECT_EQ(test::readFile(program("update/Nupdate.txt")), std::string(oldLine) + "\r\n");
    EXPECT_EQ(test::runProgram(program("lumora")), "old\n");
    EXPECT_TRUE(m_server.logged("GET /erge/lumora-1.0.0.1-missing 404")) << m_server.accessLog();
}

TEST_F(NginxUpdate, OffersNothingWhenTheLinesAgree)
{
    publish(test::signedVersionFile(oldLine, m_newExecutable));

    const RecordingView view = runCheck();
    EXPECT_TRUE(view.noUpdate);
    EXPECT_FALSE(view.asked);
    EXPECT_EQ(test::runProgram(program("lumora")), "old\n");
}

} // namespace
} // namespace kivora
