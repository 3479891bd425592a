#include "tools/demo/demofileserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace kivora::demo {
namespace {

using test::writeFile;

// Binary-looking content with a NUL byte, so text handling would show.
std::string movieBytes(const std::string &seed)
{
    std::string bytes = "FWS\x0a";
    bytes.push_back('\0');
    for (int i = 0; i < 3000; ++i)
        bytes += seed[static_cast<std::size_t>(i) % seed.size()];
    return bytes;
}

class DemoFileServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.isValid());
        m_root = m_dir / "content";
        writeFile(m_root / "erger" / "做客歌.swf", movieBytes("zuoke"));
        writeFile(m_root / "ywerger" / "韵律诗the cock's on the housestop.swf", movieBytes("cock"));
        writeFile(m_dir / "secret.txt", "secret");
        writeFile(m_dir / "update.txt", "http://127.0.0.1/lumora.exe\r\n");
    }

    void TearDown() override
    {
        for (auto &server : m_servers)
            server->stop();
        for (std::thread &thread : m_threads)
            thread.join();
        m_servers.clear();
    }

    // Starts a server on a free loopback port; returns the port.
    int start(std::uint64_t rate = 0)
    {
        auto server = std::make_unique<DemoFileServer>("test", m_root, [this](const std::string &line) {
            {
                const std::lock_guard<std::mutex> lock(m_logMutex);
                m_log.push_back(line);
            }
            m_logged.notify_all();
        });
        server->setRate(rate);
        server->addFallback("/erge/update.txt", m_dir / "update.txt");
        const int port = server->bind("127.0.0.1", 0);
        EXPECT_GT(port, 0);
        DemoFileServer *raw = server.get();
        m_servers.push_back(std::move(server));
        m_threads.emplace_back([raw]() { raw->run(); });
        return port;
    }

    static httplib::Client client(int port)
    {
        httplib::Client client("127.0.0.1", port);
        client.set_url_encode(false); // send the paths exactly as written in the test
        return client;
    }

    test::ScratchFolder m_scratch;
    const std::filesystem::path &m_dir = m_scratch.path();
    std::filesystem::path m_root;
    std::vector<std::unique_ptr<DemoFileServer>> m_servers;
    std::vector<std::thread> m_threads;
    // The server logs a request after it has sent the response, so the
    // client can be ahead of the log; wait for the lines with a generous limit.
    bool waitForLogLines(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(m_logMutex);
        return m_logged.wait_for(lock, std::chrono::seconds(10), [this, count]() { return m_log.size() >= count; });
    }

    std::mutex m_logMutex;
    std::condition_variable m_logged;
    std::vector<std::string> m_log;
};

struct Fetch {
    const char *name;
    const char *target; // as sent on the wire
    int status;
    const char *seed;   // movie content expected, nullptr for none
};

TEST_F(DemoFileServerTest, AnswersPercentEncodedTitlesAndRefusesTheRest)
{
    const Fetch cases[] = {
        {"chinese", "/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf", 200, "zuoke"},
        {"chineseSpaceApostrophe",
         "/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock's%20on%20the%20housestop.swf", 200, "cock"},
        {"apostropheEncoded",
         "/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock%27s%20on%20the%20housestop.swf", 200, "cock"},
        {"missingTitle", "/erger/%E9%B9%85.swf", 404, nullptr},
        {"missingFolder", "/nothing/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf", 404, nullptr},
        {"folderItself", "/erger", 404, nullptr},
        {"encodedParent", "/erger/%2e%2e/%2e%2e/secret.txt", 404, nullptr},
        {"plainParent", "/../secret.txt", 404, nullptr},
        {"encodedSlash", "/erger%2f..%2f..%2fsecret.txt", 404, nullptr},
    };
    httplib::Client http = client(start());
    for (const Fetch &fetch : cases) {
        const auto response = http.Get(fetch.target);
        ASSERT_TRUE(response) << fetch.name << ": " << httplib::to_string(response.error());
        EXPECT_EQ(response->status, fetch.status) << fetch.name;
        if (fetch.seed) {
            EXPECT_EQ(response->body, movieBytes(fetch.seed)) << fetch.name;
            EXPECT_EQ(response->get_header_value("Content-Type"), "application/x-shockwave-flash") << fetch.name;
        } else {
            EXPECT_EQ(response->body.find("secret"), std::string::npos) << fetch.name;
        }
    }
    ASSERT_TRUE(waitForLogLines(std::size(cases)));
    const std::lock_guard<std::mutex> lock(m_logMutex);
    EXPECT_EQ(m_log.size(), std::size(cases));
    EXPECT_EQ(m_log.front(), "test 127.0.0.1 \"GET /erger/做客歌.swf\" 200");
}

TEST_F(DemoFileServerTest, PacedDownloadsDeliverTheWholeFileWithItsLength)
{
    httplib::Client http = client(start(1024 * 1024));
    const auto head = http.Head("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->get_header_value("Content-Length"), std::to_string(movieBytes("zuoke").size()));
    EXPECT_TRUE(head->body.empty());

    const auto response = http.Get("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->get_header_value("Content-Length"), std::to_string(movieBytes("zuoke").size()));
    EXPECT_EQ(response->body, movieBytes("zuoke"));
}

TEST_F(DemoFileServerTest, FallsBackForTheVersionFileOnly)
{
    httplib::Client http = client(start());
    const auto version = http.Get("/erge/update.txt");
    ASSERT_TRUE(version);
    EXPECT_EQ(version->status, 200);
    EXPECT_EQ(version->body, "http://127.0.0.1/lumora.exe\r\n");

    // A file under the root wins over the fallback.
    writeFile(m_root / "erge" / "update.txt", "from the root\n");
    const auto rooted = http.Get("/erge/update.txt");
    ASSERT_TRUE(rooted);
    EXPECT_EQ(rooted->body, "from the root\n");

    const auto other = http.Get("/update.txt");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->status, 404);
}

TEST_F(DemoFileServerTest, RefusesAPortInUse)
{
    const int port = start();
    DemoFileServer second("second", m_root, nullptr);
    EXPECT_EQ(second.bind("127.0.0.1", port), -1);
}

} // namespace
} // namespace kivora::demo
