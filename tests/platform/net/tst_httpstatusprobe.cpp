#include "platform/net/httpstatusprobe.h"
#include "tests/update/updatefixture.h"

#include <gtest/gtest.h>

namespace kivora {
namespace {

struct StatusCase
{
    const char *path;
    std::optional<long> status;
};

class HttpStatusProbe : public ::testing::TestWithParam<StatusCase>
{
};

TEST_P(HttpStatusProbe, AnswersTheStatusOfTheFirstFinalHead)
{
    test::UpdateServer server("body");
    ASSERT_TRUE(server.started());
    EXPECT_EQ(httpStatus(server.url16(GetParam().path)), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Statuses, HttpStatusProbe,
                         ::testing::Values(StatusCase{"/status/200", 200}, StatusCase{"/status/302", 302},
                                           StatusCase{"/status/301", 301}, StatusCase{"/status/404", 404},
                                           StatusCase{"/status/500", 500}, StatusCase{"/status/204", 204},
                                           StatusCase{"/new", 200}));

TEST(HttpStatusProbeHead, AsksWithHeadAndFollowsRedirectionsWhenAllowed)
{
    test::UpdateServer server("body");
    ASSERT_TRUE(server.started());
    HttpStatusProbeOptions options;
    options.head = true;
    EXPECT_EQ(httpStatus(server.url16("/status/302"), options), 302);
    options.maxRedirects = 5;
    EXPECT_EQ(httpStatus(server.url16("/status/302"), options), 200);
    EXPECT_EQ(httpStatus(server.url16("/status/301"), options), 200);
    EXPECT_EQ(httpStatus(server.url16("/status/404"), options), 404);
    EXPECT_EQ(httpStatus(server.url16("/status/204"), options), 204);
}

TEST(HttpStatusProbeFailures, NoHeadGivesNothing)
{
    const std::string closed = "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/erge/update.txt";
    EXPECT_EQ(httpStatus(std::u16string(closed.begin(), closed.end())), std::nullopt);
    EXPECT_EQ(httpStatus(u"not an address"), std::nullopt);
    EXPECT_EQ(httpStatus(u"ftp://127.0.0.1/x"), std::nullopt);
}

TEST(HttpStatusProbeFailures, SilentServerIsGivenUpAfterTheLimit)
{
    test::LoopbackServer loopback;
    loopback.server().Get("/silent", [&loopback](const httplib::Request &, httplib::Response &res) {
        loopback.stallGate().wait();
        res.set_content("late", "text/plain");
    });
    ASSERT_TRUE(loopback.start());
    HttpStatusProbeOptions options;
    options.totalTimeout = std::chrono::milliseconds(300);
    EXPECT_EQ(httpStatus(loopback.url(u"/silent"), options), std::nullopt);
}

TEST(HttpStatusProbeRequest, IsAGetWithTheProbeAgentAndNoCache)
{
    test::LoopbackServer loopback;
    std::mutex mutex;
    httplib::Headers seen;
    std::string method;
    loopback.server().Get("/erge/update.txt", [&](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard lock(mutex);
        seen = req.headers;
        method = req.method;
        res.set_content("line", "text/plain");
    });
    ASSERT_TRUE(loopback.start());
    EXPECT_EQ(httpStatus(loopback.url(u"/erge/update.txt")), 200);
    std::lock_guard lock(mutex);
    EXPECT_EQ(method, "GET");
    auto header = [&](const char *name) {
        const auto it = seen.find(name);
        return it == seen.end() ? std::string() : it->second;
    };
    EXPECT_EQ(header("User-Agent"), "InetURL:/1.0");
    EXPECT_EQ(header("Cache-Control"), "no-cache");
    EXPECT_EQ(header("Pragma"), "no-cache");
}

} // namespace
} // namespace kivora
