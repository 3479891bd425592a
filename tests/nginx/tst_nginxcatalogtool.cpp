#include "tests/nginx/nginxserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace kivora {
namespace {

constexpr char folder[] = "ywerger";

struct ToolRun
{
    int status = -1;
    std::string output;
};

// `environment`: "NAME='value' " settings for the command.
ToolRun runTool(const std::string &arguments, const std::string &environment = {})
{
    const std::string command = environment + "'" + KIVORA_CATALOG_TOOL + "' " + arguments + " 2>&1";
    ToolRun run;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, count);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::size_t countOf(const std::string &text, const std::string &part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The category's titles as "folder/title.swf", from the tool's own listing.
std::vector<std::string> titleFiles()
{
    std::vector<std::string> files;
    std::istringstream lines(runTool("list").output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        if (fields.size() == 8 && fields[2] == folder)
            files.push_back(fields[5]);
    }
    return files;
}

// kivora-catalog fetch and check with nginx as the download server, on a category whose
// titles hold spaces, apostrophes, typographic quotes and commas.
class NginxCatalogTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string reason = test::NginxServer::unavailableReason();
        if (!reason.empty())
            GTEST_SKIP() << reason;
        m_files = titleFiles();
        ASSERT_GT(m_files.size(), 10u);
        for (const std::string &file : m_files)
            test::writeFile(m_content.path() / file, "movie " + file);
        if (tls()) {
            ASSERT_TRUE(m_server.serveTls()) << m_server.error();
        }
        ASSERT_TRUE(m_server.start()) << m_server.error();
    }

    virtual bool tls() const { return false; }

    std::string options() const
    {
        return "--dir '" + m_program.path().string() + "' --download-host " + m_server.origin() + " " + folder;
    }

    test::ScratchFolder m_content;
    test::ScratchFolder m_program;
    test::NginxServer m_server{m_content.path()};
    std::vector<std::string> m_files;
};

TEST_F(NginxCatalogTool, FetchFillsTheCategoryOnceAndCheckFindsWhatTheServerLacks)
{
    const ToolRun check = runTool("check " + options());
    EXPECT_EQ(check.status, 0) << check.output;

    const ToolRun fetch = runTool("fetch " + options());
    ASSERT_EQ(fetch.status, 0) << fetch.output << m_server.accessLog();
    for (const std::string &file : m_files)
        EXPECT_EQ(test::readFile(m_program.path() / file), "movie " + file) << file;
    EXPECT_EQ(countOf(m_server.accessLog(), " 404 "), 0u) << m_server.accessLog();

    // Titles already present are not asked for again.
    EXPECT_TRUE(m_server.logged("GET /" + std::string(folder) + "/", m_files.size())) << m_server.accessLog();
    const std::size_t requests = countOf(m_server.accessLog(), "GET /");
    EXPECT_EQ(runTool("fetch " + options()).status, 0);
    EXPECT_EQ(countOf(m_server.accessLog(), "GET /"), requests);

    // A title gone from the server: check names it, and fetch cannot complete the folder.
    const std::string gone = m_files.front();
    std::filesystem::remove(m_content.path() / gone);
    std::filesystem::remove(m_program.path() / gone);
    const std::string title = gone.substr(gone.find('/') + 1, gone.size() - gone.find('/') - 5);
    const ToolRun failedCheck = runTool("check " + options());
    EXPECT_NE(failedCheck.status, 0);
    EXPECT_NE(failedCheck.output.find(title), std::string::npos) << failedCheck.output;
    const ToolRun failedFetch = runTool("fetch " + options());
    EXPECT_NE(failedFetch.status, 0) << failedFetch.output;
    EXPECT_FALSE(std::filesystem::exists(m_program.path() / gone));
}

class NginxCatalogToolOverTls : public NginxCatalogTool
{
protected:
    bool tls() const override { return true; }
};

TEST_F(NginxCatalogToolOverTls, FetchesFromATrustedServerOnlyAndKeepsNothingFromAnother)
{
    // Without the test's authority the server's certificate is trusted by nothing.
    const ToolRun refused = runTool("fetch " + options());
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("the server's certificate is not trusted"), std::string::npos) << refused.output;
    EXPECT_EQ(countOf(m_server.accessLog(), "GET /"), 0u) << m_server.accessLog();
    std::size_t kept = 0;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(m_program.path()))
        kept += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(kept, 0u);

    const ToolRun fetch = runTool("fetch " + options(), "KIVORA_TEST_CA_FILE='" + m_server.authorityFile() + "' ");
    ASSERT_EQ(fetch.status, 0) << fetch.output << m_server.accessLog();
    for (const std::string &file : m_files)
        EXPECT_EQ(test::readFile(m_program.path() / file), "movie " + file) << file;
}

} // namespace
} // namespace kivora
