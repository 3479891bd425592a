#include "transfer/Utushuthread.h"
#include "tests/support/progresscollector.h"
#include "tests/support/refusingport.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/sha256hex.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kivora {
namespace {

using namespace std::chrono_literals;
using test::ProgressCollector;
using test::ScriptedChunk;
using test::ScriptedExchange;
using test::ScriptedServer;
using Messages = std::vector<std::intptr_t>;
namespace fs = std::filesystem;

std::string lengthHead(std::size_t length, const std::string &status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

std::u16string utf16(const std::string &ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class FetchJobTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_scratch.isValid()); }

    // Starts a job and answers every message it posted, up to its last.
    Messages run(const std::string &url, FetchOptions options = {}) { return runTo(url, m_target, std::move(options)); }

    Messages runTo(const std::string &url, const fs::path &target, FetchOptions options = {})
    {
        ProgressCollector window;
        tushuthread::create(utf16(url), utf16(target.string()), window.window(), std::move(options));
        return window.waitForFinal();
    }

    std::string contents(const fs::path &path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Every name in the folder: a failed or finished job leaves no temporary file behind.
    std::vector<std::string> folderNames() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry &e : fs::directory_iterator(m_folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void writeExisting(const std::string &bytes) const { std::ofstream(m_target, std::ios::binary) << bytes; }

    test::ScratchFolder m_scratch;
    const fs::path &m_folder = m_scratch.path();
    const fs::path m_target = m_folder / "lumora0";
};

TEST_F(FetchJobTest, SendsTheAgreedRequest)
{
    ScriptedServer server({ScriptedServer::reply(lengthHead(0))});
    EXPECT_EQ(run(server.url("/erge/lumora.exe")), Messages{100});
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], "GET /erge/lumora.exe HTTP/1.1\r\n"
                                    "Host: " + server.authority() + "\r\n"
                                    "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                                    "Accept-Encoding: identity\r\n"
                                    "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                    "\r\n");
}

TEST_F(FetchJobTest, ReportsBlocksBelowHundredAndHundredOnceSaved)
{
    const std::string body = test::varyingBytes(100000, 0);
    ScriptedServer server({ScriptedExchange{{{lengthHead(body.size())}, {body, 300ms}}, true}});
    EXPECT_EQ(run(server.url("/f")), (Messages{33, 66, 99, 99, 100}));
    EXPECT_EQ(contents(m_target), body);
    EXPECT_EQ(folderNames(), std::vector<std::string>{"lumora0"});
}

TEST_F(FetchJobTest, LargeBodyReachesHundredOnlyAtTheEnd)
{
    const std::string body = test::varyingBytes(10000000, 0);
    ScriptedServer server({ScriptedServer::reply(lengthHead(body.size()) + body)});
    const Messages messages = run(server.url("/f"));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), 100);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), 100), 1);
    EXPECT_TRUE(std::is_sorted(messages.begin(), messages.end()));
    EXPECT_GE(messages.size(), 10000000u / 32768);
    EXPECT_EQ(contents(m_target), body);
}

TEST_F(FetchJobTest, BodiesWithoutALengthReportOnlyTheSavedFile)
{
    struct Case
    {
        const char *name;
        std::vector<ScriptedChunk> chunks;
        std::string body;
    };
    const std::string big = test::varyingBytes(200000, 0);
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t at = 0; at < big.size(); at += 70000) {
        const std::string part = big.substr(at, 70000);
        char size[32];
        std::snprintf(size, sizeof size, "%zx;ext=1\r\n", part.size());
        chunked += size + part + "\r\n";
    }
    chunked += "0\r\nX-Trailer: yes\r\n\r\n";
    const Case cases[] = {
        {"chunked", {{chunked.substr(0, 1000)}, {chunked.substr(1000), 100ms}}, big},
        {"until_close", {{"HTTP/1.0 200 OK\r\n\r\n"}, {big, 100ms}}, big},
        {"length_zero", {{lengthHead(0)}}, ""},
        {"no_content", {{"HTTP/1.1 204 No Content\r\n\r\n"}}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server({ScriptedExchange{c.chunks, true}});
        EXPECT_EQ(run(server.url("/f")), Messages{100});
        ASSERT_TRUE(fs::exists(m_target));
        EXPECT_EQ(contents(m_target), c.body);
        EXPECT_EQ(folderNames(), std::vector<std::string>{"lumora0"});
        fs::remove(m_target);
    }
}

TEST_F(FetchJobTest, FailuresSaveNothingAndLeaveAnExistingFile)
{
    struct Case
    {
        const char *name;
        std::vector<ScriptedChunk> chunks;
        bool keepOpen = false;
    };
    const std::string body = test::varyingBytes(1000, 0);
    const Case cases[] = {
        {"not_found_with_body", {{lengthHead(1000, "404 Not Found") + body}}},
        {"server_error_chunked", {{"HTTP/1.1 500 Oops\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nbad\r\n0\r\n\r\n"}}},
        {"moved_permanently", {{"HTTP/1.1 301 Moved Permanently\r\nLocation: /g\r\nContent-Length: 1000\r\n\r\n" + body}}},
        {"found", {{"HTTP/1.1 302 Found\r\nLocation: /g\r\nContent-Length: 0\r\n\r\n"}}},
        {"not_modified", {{"HTTP/1.1 304 Not Modified\r\n\r\n"}}},
        {"malformed_head", {{"HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\n"}}},
        {"bad_chunk_size", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nfffffffffffffffffff\r\n"}}},
        {"nothing_answered", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeExisting("earlier");
        ScriptedServer server({ScriptedExchange{c.chunks, true}});
        EXPECT_EQ(run(server.url("/f")), Messages{-1});
        EXPECT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(contents(m_target), "earlier");
        EXPECT_EQ(folderNames(), std::vector<std::string>{"lumora0"});
    }
}

TEST_F(FetchJobTest, BodyCutShortSavesNothing)
{
    const std::string body = test::varyingBytes(100000, 0);
    ScriptedServer server({ScriptedExchange{{{lengthHead(body.size())}, {body.substr(0, 70000), 300ms}}, true}});
    const Messages messages = run(server.url("/f"));
    EXPECT_EQ(messages, (Messages{33, 66, -1}));
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(FetchJobTest, StalledServerEndsInTheTimeOut)
{
    ScriptedServer server({ScriptedExchange{{{lengthHead(1000) + "abc"}}, false}});
    FetchOptions options;
    options.readTimeout = 300ms;
    EXPECT_EQ(run(server.url("/f"), options), (Messages{1, -1}));
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(FetchJobTest, UnusableAddressesAndPlacesFailWithoutAPercentage)
{
    ScriptedServer server({ScriptedServer::reply(lengthHead(2) + "ok")});
    EXPECT_EQ(run("http://127.0.0.1:" + std::to_string(test::closedPort()) + "/f"), Messages{-1});
    EXPECT_EQ(run("https://" + server.authority() + "/f"), Messages{-1});
    EXPECT_EQ(run("not an address"), Messages{-1});
    EXPECT_EQ(runTo(server.url("/f"), m_folder / "missing" / "lumora0"), Messages{-1});
    EXPECT_EQ(runTo(server.url("/f"), m_folder), Messages{-1});
    EXPECT_TRUE(server.requests().empty());
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(FetchJobTest, ReplacesAnExistingFile)
{
    writeExisting("an older and longer file");
    ScriptedServer server({ScriptedServer::reply(lengthHead(3) + "new")});
    EXPECT_EQ(run(server.url("/f")), (Messages{99, 100}));
    EXPECT_EQ(contents(m_target), "new");
}

TEST_F(FetchJobTest, ChecksTheExpectedDigest)
{
    const std::string body = test::varyingBytes(50000, 0);
    std::string upper = test::sha256Hex(body);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    struct Case
    {
        const char *name;
        std::optional<std::string> digest;
        bool saved;
    };
    const Case cases[] = {
        {"match", test::sha256Hex(body), true},
        {"match_upper_case", upper, true},
        {"mismatch", test::sha256Hex(body + "x"), false},
        {"not_a_digest", "abc", false},
        {"empty_digest", "", false},
        {"63_digits", std::string(63, 'a'), false},
        {"65_digits", std::string(65, 'a'), false},
        {"not_hex", std::string(63, 'a') + "g", false},
        {"no_digest", std::nullopt, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeExisting("earlier");
        ScriptedServer server({ScriptedServer::reply(lengthHead(body.size()) + body)});
        FetchOptions options;
        options.expectedSha256 = c.digest;
        const Messages messages = run(server.url("/f"), options);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), c.saved ? 100 : -1);
        EXPECT_EQ(contents(m_target), c.saved ? body : "earlier");
        EXPECT_EQ(folderNames(), std::vector<std::string>{"lumora0"});
    }
}

// A program is saved only when this machine runs it, and then with the execute bits.
TEST_F(FetchJobTest, SavesAProgramOnlyWhenThisMachineRunsIt)
{
    std::ifstream self("/proc/self/exe", std::ios::binary);
    std::string header(64, '\0');
    ASSERT_TRUE(self.read(header.data(), std::streamsize(header.size())));
    struct Case
    {
        const char *name;
        std::string body;
        bool executable;
        bool saved;
    };
    const Case cases[] = {
        {"plain_file", "#!", false, true},
        {"program", header, true, true},
        {"script_as_a_program", "#!/bin/sh\n", true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_target);
        ScriptedServer server({ScriptedServer::reply(lengthHead(c.body.size()) + c.body)});
        FetchOptions options;
        options.executable = c.executable;
        EXPECT_EQ(run(server.url("/f"), options).back(), c.saved ? 100 : -1);
        struct stat info{};
        ASSERT_EQ(::stat(m_target.c_str(), &info) == 0, c.saved);
        if (c.saved) {
            EXPECT_EQ(info.st_mode & 0111, c.executable ? 0111u : 0u);
        }
    }
}

TEST_F(FetchJobTest, SavesUnderAUnicodePath)
{
    const std::u16string name = u"\u66f4\u65b0.bin";
    ScriptedServer server({ScriptedServer::reply(lengthHead(2) + "ok")});
    ProgressCollector window;
    tushuthread::create(utf16(server.url("/f")), utf16(m_folder.string() + "/") + name, window.window());
    EXPECT_EQ(window.waitForFinal().back(), 100);
    EXPECT_EQ(contents(m_folder / "\xe6\x9b\xb4\xe6\x96\xb0.bin"), "ok");
}

} // namespace
} // namespace kivora
