#include "platform/core/bindstatuscodes.h"
#include "platform/net/curlsupport.h"
#include "tests/support/conditionwait.h"
#include "tests/support/logcollector.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/progresscollector.h"
#include "tests/support/refusingport.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"
#include "tests/support/serverroutes.h"
#include "platform/net/urldownload.h"
#include "platform/net/urldownloaderrors.h"
#include "platform/net/urldownloadoptions.h"
#include "platform/net/urlencoding.h"

#include <QLoggingCategory>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include <unistd.h>

namespace kivora {
namespace {

using test::LogCollector;
using test::ProgressCollector;
using test::ProgressReport;
using test::readFile;
using test::writeFile;

std::u16string ascii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

class UrlDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        test::addDownloadRoutes(m_server, m_body, m_requests, m_halfSent);
        ASSERT_TRUE(m_server.start());
    }

    HRESULT download(std::u16string_view url, const std::filesystem::path &path, IBindStatusCallback *sink,
                     UrlDownloadOptions options = {})
    {
        return URLDownloadToFile(url, path.u16string(), sink, options);
    }

    std::filesystem::path destination() const { return m_folder.path() / "title.swf"; }

    const std::string m_body = test::varyingBytes(1024 * 1024 + 123, 0);
    test::ScratchFolder m_folder;
    test::LoopbackServer m_server;
    std::atomic<int> m_requests{0};
    std::atomic<bool> m_halfSent{false};
};

// --- Successful transfers -------------------------------------------------------------

struct SuccessCase
{
    const char *name;
    const char *route;
    bool lengthAnnounced;
    bool emptyBody;
    bool destinationExists;
};

class UrlDownloadSuccess : public UrlDownloadTest, public ::testing::WithParamInterface<SuccessCase>
{
};

TEST_P(UrlDownloadSuccess, StoresTheWholeBodyAndReportsFromStartToEnd)
{
    const SuccessCase &c = GetParam();
    if (c.destinationExists)
        writeFile(destination(), "an older copy");
    const std::string expected = c.emptyBody ? std::string() : m_body;
    ProgressCollector collector;

    ASSERT_EQ(download(m_server.url(ascii(c.route)), destination(), &collector), S_OK);

    EXPECT_EQ(readFile(destination()), expected);
    EXPECT_EQ(m_folder.entries(), std::set<std::string>{"title.swf"});

    const std::vector<ProgressReport> reports = collector.reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front().status, BINDSTATUS_FINDINGRESOURCE);
    EXPECT_EQ(reports.front().progress, 0u);
    EXPECT_EQ(reports.front().total, 0u);
    EXPECT_EQ(reports.back().progress, expected.size());
    EXPECT_EQ(reports.back().total, expected.size());
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reports[i].thread, std::this_thread::get_id());
        EXPECT_GE(reports[i].progress, previous);
        previous = reports[i].progress;
        if (i == 0 || i + 1 == reports.size())
            continue;
        EXPECT_NE(reports[i].status, BINDSTATUS_FINDINGRESOURCE);
        EXPECT_EQ(reports[i].total, c.lengthAnnounced ? expected.size() : 0u);
        EXPECT_LT(reports[i].progress, expected.size()) << "only completion may claim the whole body";
    }
    if (!c.emptyBody) {
        EXPECT_GE(reports.size(), 3u) << "data arrives in several blocks and is reported while it does";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, UrlDownloadSuccess,
    ::testing::Values(SuccessCase{"withLength", "/fixed", true, false, false},
                      SuccessCase{"chunked", "/chunked", false, false, false},
                      SuccessCase{"empty", "/empty", true, true, false},
                      SuccessCase{"redirected", "/redirect", true, false, false},
                      SuccessCase{"replacesWithLength", "/fixed", true, false, true},
                      SuccessCase{"replacesChunked", "/chunked", false, false, true}),
    [](const ::testing::TestParamInfo<SuccessCase> &info) { return std::string(info.param.name); });

// --- Failed transfers -----------------------------------------------------------------

struct FailureCase
{
    const char *name;
    const char *route; // nullptr: a port that refuses connections
    HRESULT expected;
    bool destinationExists;
    const char *scheme = "http";
};

class UrlDownloadFailure : public UrlDownloadTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(UrlDownloadFailure, LeavesTheDestinationAsItWasAndNoLitter)
{
    const FailureCase &c = GetParam();
    const std::string older = "an older copy";
    if (c.destinationExists)
        writeFile(destination(), older);
    std::u16string url;
    if (c.route) {
        url = m_server.url(ascii(c.route));
        url.replace(0, 4, ascii(c.scheme));
    } else {
        url = ascii("http://127.0.0.1:" + std::to_string(test::closedPort()) + "/fixed");
    }
    UrlDownloadOptions options;
    options.stallTimeout = std::chrono::milliseconds(500);
    ProgressCollector collector;

    EXPECT_EQ(download(url, destination(), &collector, options), c.expected);

    if (c.destinationExists) {
        EXPECT_EQ(readFile(destination()), older);
        EXPECT_EQ(m_folder.entries(), std::set<std::string>{"title.swf"});
    } else {
        EXPECT_EQ(m_folder.entries(), std::set<std::string>{});
    }
    const std::vector<ProgressReport> reports = collector.reports();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().status, BINDSTATUS_FINDINGRESOURCE);
    for (const ProgressReport &report : reports)
        EXPECT_FALSE(report.total != 0 && report.progress >= report.total) << "a failure never reports completion";
}

std::vector<FailureCase> failureCases()
{
    const std::vector<FailureCase> kinds = {
        {"notFound", "/nothing-here", INET_E_RESOURCE_NOT_FOUND, false},
        {"refused", nullptr, INET_E_CANNOT_CONNECT, false},
        {"shortBody", "/short", INET_E_DOWNLOAD_FAILURE, false},
        {"shortChunked", "/shortchunked", INET_E_DOWNLOAD_FAILURE, false},
        {"stalledBody", "/stall", INET_E_CONNECTION_TIMEOUT, false},
        {"silentServer", "/silent", INET_E_CONNECTION_TIMEOUT, false},
        {"redirectLoop", "/loop", INET_E_REDIRECT_FAILED, false},
        {"redirectToFtp", "/elsewhere", INET_E_REDIRECT_FAILED, false},
        {"notHttp", "/fixed", INET_E_INVALID_URL, false, "ftp"},
    };
    std::vector<FailureCase> cases;
    for (FailureCase c : kinds) {
        cases.push_back(c);
        c.destinationExists = true;
        cases.push_back(c);
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Transfers, UrlDownloadFailure, ::testing::ValuesIn(failureCases()),
                         [](const ::testing::TestParamInfo<FailureCase> &info) {
                             return std::string(info.param.name)
                                 + (info.param.destinationExists ? "_overExistingFile" : "_noFile");
                         });

// --- Diagnostics ----------------------------------------------------------------------

TEST_F(UrlDownloadTest, FailureSaysWhyOnlyWhenAsked)
{
    LogCollector log;
    const std::u16string url = m_server.url(u"/nothing-here");
    EXPECT_EQ(download(url, destination(), nullptr), INET_E_RESOURCE_NOT_FOUND);
    EXPECT_TRUE(LogCollector::messages("kivora.transfer").empty()) << "silent by default";

    QLoggingCategory::setFilterRules(QStringLiteral("kivora.*=true"));
    EXPECT_EQ(download(url, destination(), nullptr), INET_E_RESOURCE_NOT_FOUND);
    const std::vector<std::string> messages = LogCollector::messages("kivora.transfer");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages.front().find("/nothing-here"), std::string::npos) << messages.front();
    EXPECT_NE(messages.front().find("status 404"), std::string::npos) << messages.front();
}

// A run of titles from one server on one thread (the catalog tool's fetch) keeps its
// connection instead of connecting anew for each title.
TEST_F(UrlDownloadTest, DownloadsOnOneHandleShareTheirConnection)
{
    test::LoopbackServer server;
    std::mutex mutex;
    std::vector<int> clientPorts;
    server.server().Get("/title.swf", [&](const httplib::Request &request, httplib::Response &response) {
        {
            std::lock_guard lock(mutex);
            clientPorts.push_back(request.remote_port);
        }
        response.set_content(m_body, "application/x-shockwave-flash");
    });
    ASSERT_TRUE(server.start());

    CurlEasyHandle handle;
    UrlDownloadOptions options;
    options.handle = &handle;
    for (int i = 0; i < 3; ++i) {
        std::filesystem::remove(destination());
        ASSERT_EQ(download(server.url(u"/title.swf"), destination(), nullptr, options), S_OK);
        EXPECT_EQ(readFile(destination()), m_body);
    }
    std::lock_guard lock(mutex);
    ASSERT_EQ(clientPorts.size(), 3u);
    EXPECT_EQ(clientPorts[1], clientPorts[0]);
    EXPECT_EQ(clientPorts[2], clientPorts[0]);
}

// --- Destinations that cannot be written ----------------------------------------------

TEST_F(UrlDownloadTest, UnwritableDestinationsFailWithoutTouchingAnything)
{
    std::filesystem::create_directory(m_folder.path() / "folder.swf");
    const std::vector<std::pair<const char *, std::u16string>> destinations = {
        {"missing folder", (m_folder.path() / "no-such-folder" / "title.swf").u16string()},
        {"a folder", (m_folder.path() / "folder.swf").u16string()},
        {"a folder path", m_folder.path().u16string() + u"/"},
        {"empty", u""},
    };
    for (const auto &[name, path] : destinations) {
        SCOPED_TRACE(name);
        EXPECT_EQ(URLDownloadToFile(nullptr, m_server.url(u"/fixed"), path, 0, nullptr), STG_E_WRITEFAULT);
        EXPECT_EQ(m_folder.entries(), std::set<std::string>{"folder.swf"});
        EXPECT_TRUE(std::filesystem::is_empty(m_folder.path() / "folder.swf"));
    }
}

TEST_F(UrlDownloadTest, MissingFolderCostsNoRequest)
{
    EXPECT_EQ(download(m_server.url(u"/fixed"), m_folder.path() / "no-such-folder" / "title.swf", nullptr),
              STG_E_WRITEFAULT);
    EXPECT_EQ(m_requests.load(), 0);
}

// --- Titles on the wire ----------------------------------------------------------------

TEST_F(UrlDownloadTest, TitlesReachTheServerEncodedAndLandUnderTheirExactName)
{
    std::mutex mutex;
    std::string target;
    m_server.server().Get("/ywerger/.*", [&mutex, &target](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard lock(mutex);
        target = req.target;
        res.set_content(req.path, "application/octet-stream");
    });
    const std::vector<std::u16string> titles = {
        u"韵律诗the cock's on the housestop", u"拔山盖世 四面楚歌", u"Grandma’s Glasses", u"英语游戏“猫”跃倒钩",
        u"宠物连连看2.5版", u"单韵母ü", u"(猫头鹰）", u"看电影,考眼力", u"100%的快乐", u"C#大调", u"1+1",
    };
    for (const std::u16string &title : titles) {
        const std::u16string name = title + u".swf";
        SCOPED_TRACE(*utf16ToUtf8(name));

        ASSERT_EQ(download(m_server.url(u"/ywerger/" + name), m_folder.path() / name, nullptr), S_OK);

        EXPECT_EQ(readFile(m_folder.path() / name), "/ywerger/" + *utf16ToUtf8(name));
        std::lock_guard lock(mutex);
        for (const char c : target)
            EXPECT_TRUE(c > ' ' && c < 0x7F && c != '\'' && c != '#') << target;
    }
}

struct AddressCase
{
    std::u16string url;
    std::optional<std::string> wire;
};

TEST(WireAddress, EncodesPathAndQueryAndRejectsWhatIsNotHttp)
{
    const std::vector<AddressCase> cases = {
        {u"http://127.0.0.1:18082/erger/鹅.swf", "http://127.0.0.1:18082/erger/%E9%B9%85.swf"},
        {u"HTTP://Host/a b'c", "http://Host/a%20b%27c"},
        {u"http://host", "http://host/"},
        {u"http://host/50%/a#b", "http://host/50%25/a%23b"},
        {u"http://host/p?q=a b&r=/?", "http://host/p?q=a%20b&r=/?"},
        {u"http://[::1]:80/x", "http://[::1]:80/x"},
        {u"http://host/\U0001F600", "http://host/%F0%9F%98%80"},
        {u"http://host/\\x", "http://host/%5Cx"},
        {u"HTTPS://host/x y", "https://host/x%20y"},
        {u"ftp://host/x", std::nullopt},
        {u"host/x", std::nullopt},
        {u"http:///x", std::nullopt},
        {u"http://user@host/x", std::nullopt},
        {u"http://主机/x", std::nullopt},
        {u"http://host/\xD800x", std::nullopt},
    };
    for (const AddressCase &c : cases) {
        SCOPED_TRACE(utf16ToUtf8(c.url).value_or("(broken UTF-16)"));
        EXPECT_EQ(wireAddress(c.url), c.wire);
    }
}

// --- Sinks that misbehave ---------------------------------------------------------------

class AnsweringSink final : public IBindStatusCallback
{
public:
    explicit AnsweringSink(bool throws)
        : m_throws(throws)
    {
    }
    HRESULT OnProgress(std::uint32_t, std::uint32_t, std::uint32_t, const char16_t *) override
    {
        ++m_calls;
        if (m_throws)
            throw std::runtime_error("sink failure");
        return E_FAIL;
    }
    HRESULT OnStartBinding(std::uint32_t, void *) override { return E_FAIL; }
    HRESULT GetPriority(std::int32_t *) override { return E_FAIL; }
    HRESULT OnLowResource(std::uint32_t) override { return E_FAIL; }
    HRESULT OnStopBinding(HRESULT, const char16_t *) override { return E_FAIL; }
    HRESULT GetBindInfo(std::uint32_t *, void *) override { return E_FAIL; }
    HRESULT OnDataAvailable(std::uint32_t, std::uint32_t, void *, void *) override { return E_FAIL; }
    HRESULT OnObjectAvailable(const void *, void *) override { return E_FAIL; }

    int calls() const { return m_calls; }

private:
    bool m_throws;
    int m_calls = 0;
};

TEST_F(UrlDownloadTest, TransferGoesOnWhateverTheSinkAnswers)
{
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws ? "throwing sink" : "failing sink");
        AnsweringSink sink(throws);
        std::filesystem::remove(destination());

        EXPECT_EQ(download(m_server.url(u"/fixed"), destination(), &sink), S_OK);

        EXPECT_EQ(readFile(destination()), m_body);
        EXPECT_GE(sink.calls(), 3);
    }
}

} // namespace
} // namespace kivora
