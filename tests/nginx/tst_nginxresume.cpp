#include "catalog/contentaddress.h"
#include "platform/net/stagingarea.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloadoptions.h"
#include "tests/nginx/nginxserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kivora {
namespace {

constexpr char requestPath[] = "/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf";

// A download from nginx cut off by killing the downloading process, then tried again:
// nginx must honour the Range and If-Range the program sends.
class NginxResume : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string reason = test::NginxServer::unavailableReason();
        if (!reason.empty())
            GTEST_SKIP() << reason;
        publish(m_body);
        std::filesystem::create_directories(m_program.path() / "erger");
        m_server.throttleWholeAnswers("2m");
        if (tls()) {
            ASSERT_TRUE(m_server.serveTls()) << m_server.error();
            ::setenv("KIVORA_TEST_CA_FILE", m_server.authorityFile().c_str(), 1);
        }
        ASSERT_TRUE(m_server.start()) << m_server.error();
    }

    void TearDown() override { ::unsetenv("KIVORA_TEST_CA_FILE"); }

    virtual bool tls() const { return false; }

    void publish(const std::string &bytes) { test::writeFile(m_content.path() / "erger" / u8"做客歌.swf", bytes); }
    std::filesystem::path destination() const { return m_program.path() / "erger" / u8"做客歌.swf"; }
    std::string stagingArea() const { return (m_program.path() / ".kivora-staging").string() + "/"; }

    HRESULT download() const
    {
        UrlDownloadOptions options;
        options.stagingArea = stagingArea();
        return URLDownloadToFile(contentAddress(m_server.origin(), "erger", u"做客歌"), destination().u16string(),
                                 nullptr, options);
    }

    std::uintmax_t keptBytes() const
    {
        std::uintmax_t largest = 0;
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator(stagingArea(), error))
            if (entry.path().string().ends_with(stagingBodySuffix))
                largest = std::max(largest, std::filesystem::file_size(entry.path(), error));
        return largest;
    }

    // Downloads in a child process and kills it once at least `least` bytes are kept;
    // answers the bytes kept after the kill.
    std::uintmax_t cutByKilling(std::uintmax_t least)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            download();
            ::_exit(0);
        }
        EXPECT_GT(child, 0);
        if (child <= 0)
            return 0;
        // A bounded wait for a condition, not a measurement.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (keptBytes() < least && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the download ended before it could be cut";
        return keptBytes();
    }

    test::ScratchFolder m_content;
    test::ScratchFolder m_program;
    test::NginxServer m_server{m_content.path()};
    const std::string m_body = test::varyingBytes(4 * 1024 * 1024 + 17, 1);
};

TEST_F(NginxResume, AsksOnlyForTheRest)
{
    const std::uintmax_t kept = cutByKilling(m_body.size() / 4);
    ASSERT_GE(kept, m_body.size() / 4);
    ASSERT_LT(kept, m_body.size());
    EXPECT_FALSE(std::filesystem::exists(destination()));

    ASSERT_EQ(download(), S_OK) << m_server.accessLog();
    EXPECT_EQ(test::readFile(destination()), m_body);
    EXPECT_TRUE(m_server.logged(std::string("GET ") + requestPath + " 206 " + std::to_string(m_body.size() - kept)
                                + " range=bytes=" + std::to_string(kept) + "-"))
        << m_server.accessLog();
}

class NginxResumeOverTls : public NginxResume
{
protected:
    bool tls() const override { return true; }
};

TEST_F(NginxResumeOverTls, AsksOnlyForTheRest)
{
    const std::uintmax_t kept = cutByKilling(m_body.size() / 4);
    ASSERT_GE(kept, m_body.size() / 4);
    ASSERT_LT(kept, m_body.size());

    ASSERT_EQ(download(), S_OK) << m_server.accessLog();
    EXPECT_EQ(test::readFile(destination()), m_body);
    EXPECT_TRUE(m_server.logged(std::string("GET ") + requestPath + " 206 " + std::to_string(m_body.size() - kept)
                                + " range=bytes=" + std::to_string(kept) + "-"))
        << m_server.accessLog();
}

TEST_F(NginxResume, ChangedTitleIsFetchedWhole)
{
    const std::uintmax_t kept = cutByKilling(m_body.size() / 4);
    ASSERT_GT(kept, 0u);
    // Another size gives another ETag and Last-Modified may stay within the same second.
    const std::string changed = test::varyingBytes(m_body.size() + 1000, 2);
    publish(changed);

    ASSERT_EQ(download(), S_OK) << m_server.accessLog();
    EXPECT_EQ(test::readFile(destination()), changed);
    EXPECT_TRUE(m_server.logged(std::string("GET ") + requestPath + " 200 " + std::to_string(changed.size())
                                + " range=bytes=" + std::to_string(kept) + "-"))
        << m_server.accessLog();
}

} // namespace
} // namespace kivora
