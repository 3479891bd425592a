#include "transfer/bodysink.h"
#include "transfer/httpclient.h"
#include "tests/support/refusingport.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace kivora {
namespace {

using namespace std::chrono_literals;
using test::ScriptedChunk;
using test::ScriptedExchange;
using test::ScriptedServer;
using Kind = FetchError::Kind;

class CollectingSink : public BodySink
{
public:
    std::optional<FetchError> write(std::string_view bytes) override
    {
        body.append(bytes);
        return std::nullopt;
    }
    std::string body;
};

// A work-begin event is recorded as its negated total minus one, a work event as its count.
struct FetchOutcome
{
    std::optional<FetchError> error;
    std::string body;
    std::vector<std::int64_t> events;
    int responseCode = 0;
};

constexpr std::int64_t begin(std::int64_t total) { return -total - 1; }

FetchOutcome fetch(const std::string &url, std::chrono::milliseconds readTimeout = 20s, std::chrono::milliseconds connectTimeout = 20s)
{
    FetchOutcome run;
    HttpClient client;
    client.setReadTimeout(readTimeout);
    client.setConnectTimeout(connectTimeout);
    client.setOnWorkBegin([&run](HttpClient &, WorkMode mode, std::int64_t total) {
        EXPECT_EQ(mode, WorkMode::Read);
        run.events.push_back(begin(total));
    });
    client.setOnWork([&run](HttpClient &, WorkMode, std::int64_t count) { run.events.push_back(count); });
    CollectingSink sink;
    run.error = client.get(url, sink);
    run.body = sink.body;
    run.responseCode = client.responseCode();
    return run;
}

std::string lengthHead(std::size_t length, const std::string &status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

const std::string kExpectedRequest = "GET /erge/lumora.exe?v=1 HTTP/1.1\r\n"
                                     "Host: {host}\r\n"
                                     "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                                     "Accept-Encoding: identity\r\n"
                                     "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                     "\r\n";

TEST(HttpClient, SendsExactlyTheAgreedRequestOverIpv4AndIpv6)
{
    for (ScriptedServer::Family family : {ScriptedServer::Family::Ipv4, ScriptedServer::Family::Ipv6}) {
        ScriptedServer server({ScriptedServer::reply(lengthHead(2) + "ok")}, family);
        if (!server.listening()) {
            ASSERT_EQ(family, ScriptedServer::Family::Ipv6) << "no IPv4 loopback";
            continue; // no IPv6 loopback in this environment
        }
        const FetchOutcome run = fetch(server.url("/erge/lumora.exe?v=1#top"));
        ASSERT_FALSE(run.error) << run.error->message;
        EXPECT_EQ(run.body, "ok");
        std::string expected = kExpectedRequest;
        expected.replace(expected.find("{host}"), 6, server.authority());
        ASSERT_EQ(server.requests().size(), 1u);
        EXPECT_EQ(server.requests()[0], expected);
    }
}

TEST(HttpClient, EncodesThePathAsUtf8OnTheWire)
{
    ScriptedServer server({ScriptedServer::reply(lengthHead(0))});
    const FetchOutcome run = fetch(server.url("/\xe6\x9b\xb4\xe6\x96\xb0/a b.exe"));
    ASSERT_FALSE(run.error) << run.error->message;
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].substr(0, server.requests()[0].find("\r\n")), "GET /%E6%9B%B4%E6%96%B0/a%20b.exe HTTP/1.1");
}

struct ResponseCase
{
    const char *name;
    std::vector<ScriptedChunk> chunks;
    std::optional<Kind> error{};
    std::string body{};
    std::vector<std::int64_t> events{};
    int responseCode = 200;
    bool keepOpen = false;
};

class HttpClientResponseTest : public testing::TestWithParam<ResponseCase> {};

TEST_P(HttpClientResponseTest, ReadsTheResponse)
{
    const ResponseCase &c = GetParam();
    ScriptedServer server({ScriptedExchange{c.chunks, !c.keepOpen}});
    const FetchOutcome run = fetch(server.url("/f"), c.keepOpen ? 300ms : 20s);
    if (c.error) {
        ASSERT_TRUE(run.error);
        EXPECT_EQ(run.error->kind, *c.error) << run.error->message;
    } else {
        ASSERT_FALSE(run.error) << run.error->message;
    }
    EXPECT_EQ(run.body, c.body);
    EXPECT_EQ(run.events, c.events);
    EXPECT_EQ(run.responseCode, c.responseCode);
}

const std::string kBody70k = test::varyingBytes(70000, 0);
const std::string kBody40k = test::varyingBytes(40000, 0);
const std::string kBody1000 = test::varyingBytes(1000, 0);
constexpr std::chrono::milliseconds kApart = 300ms; // lets the head arrive on its own

INSTANTIATE_TEST_SUITE_P(Table, HttpClientResponseTest, testing::Values(
    ResponseCase{"length_with_head", {{lengthHead(5) + "hello"}}, std::nullopt, "hello", {begin(5), 5}},
    ResponseCase{"length_apart_in_blocks", {{lengthHead(70000)}, {kBody70k, kApart}}, std::nullopt, kBody70k,
                 {begin(70000), 32768, 65536, 70000}},
    ResponseCase{"length_partly_with_head", {{lengthHead(40000) + kBody40k.substr(0, 10)}, {kBody40k.substr(10), kApart}},
                 std::nullopt, kBody40k, {begin(40000), 10, 32778, 40000}},
    ResponseCase{"length_in_tiny_pieces", {{lengthHead(6)}, {"ab", kApart}, {"cd", 20ms}, {"ef", 20ms}}, std::nullopt, "abcdef",
                 {begin(6), 6}},
    ResponseCase{"bytes_beyond_length_ignored", {{lengthHead(5) + "helloJUNK"}}, std::nullopt, "hello", {begin(5), 5}},
    ResponseCase{"length_zero", {{lengthHead(0)}}, std::nullopt, "", {}},
    ResponseCase{"no_content", {{"HTTP/1.1 204 No Content\r\n\r\n"}}, std::nullopt, "", {}, 204},
    ResponseCase{"continue_skipped", {{"HTTP/1.1 100 Continue\r\n\r\n"}, {lengthHead(2) + "ok", 20ms}}, std::nullopt, "ok", {begin(2), 2}},
    ResponseCase{"chunked", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n5;x=y\r\nhello\r\n"},
                             {"6\r\n world\r\n0\r\nX-T: 1\r\n\r\n", kApart}},
                 std::nullopt, "hello world", {begin(0), 5, 11}},
    ResponseCase{"until_close", {{"HTTP/1.0 200 OK\r\n\r\nhel"}, {"lo", kApart}}, std::nullopt, "hello", {begin(0), 3, 5}},
    ResponseCase{"until_close_empty", {{"HTTP/1.1 200 OK\r\n\r\n"}}, std::nullopt, "", {begin(0)}},
    ResponseCase{"not_found_body_read_not_kept", {{lengthHead(1000, "404 Not Found") + kBody1000}}, Kind::Status, "",
                 {begin(1000), 1000}, 404},
    ResponseCase{"redirect_not_followed", {{"HTTP/1.1 301 Moved Permanently\r\nLocation: /g\r\nContent-Length: 3\r\n\r\nabc"}},
                 Kind::Status, "", {begin(3), 3}, 301},
    ResponseCase{"found_not_followed", {{"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/g\r\n\r\n"}}, Kind::Status, "",
                 {begin(0)}, 302},
    ResponseCase{"not_modified", {{"HTTP/1.1 304 Not Modified\r\n\r\n"}}, Kind::Status, "", {}, 304},
    ResponseCase{"unauthorized", {{"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic\r\nContent-Length: 0\r\n\r\n"}},
                 Kind::Status, "", {}, 401},
    ResponseCase{"length_cut_short", {{lengthHead(1000) + kBody1000.substr(0, 500)}}, Kind::ConnectionClosed,
                 kBody1000.substr(0, 500), {begin(1000), 500}},
    ResponseCase{"chunked_cut_short", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel"}}, Kind::ConnectionClosed,
                 "hel", {begin(0), 3}},
    ResponseCase{"head_cut_short", {{"HTTP/1.1 200 OK\r\nContent-Le"}}, Kind::ConnectionClosed, "", {}, 0},
    ResponseCase{"nothing_at_all", {}, Kind::ConnectionClosed, "", {}, 0},
    ResponseCase{"garbage_head", {{"hello there\r\n\r\n"}}, Kind::Protocol, "", {}, 0},
    ResponseCase{"oversized_head_line", {{"HTTP/1.1 200 OK\r\nX: " + std::string(100000, 'x')}}, Kind::Protocol, "", {}, 0},
    ResponseCase{"bad_chunk_size", {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"}}, Kind::Protocol, "", {begin(0)}},
    ResponseCase{"conflicting_lengths", {{"HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab"}}, Kind::Protocol, "",
                 {}},
    ResponseCase{"stalled_body", {{lengthHead(1000) + "abc"}}, Kind::Timeout, "abc", {begin(1000), 3}, 200, true},
    ResponseCase{"stalled_head", {{"HTTP/1.1 200 OK\r\n"}}, Kind::Timeout, "", {}, 0, true},
    ResponseCase{"kept_open_without_length", {{"HTTP/1.1 200 OK\r\n\r\nabc"}}, Kind::Timeout, "abc", {begin(0), 3}, 200, true}),
    [](const testing::TestParamInfo<ResponseCase> &info) { return std::string(info.param.name); });

TEST(HttpClient, RefusesOtherSchemesWithoutConnecting)
{
    ScriptedServer server({ScriptedServer::reply(lengthHead(0))});
    for (const std::string scheme : {"https", "ftp", "file"}) {
        const FetchOutcome run = fetch(scheme + "://" + server.authority() + "/f");
        ASSERT_TRUE(run.error);
        EXPECT_EQ(run.error->kind, Kind::BadAddress);
        EXPECT_NE(run.error->message.find("http"), std::string::npos) << run.error->message;
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST(HttpClient, FailsWhenNothingListens)
{
    const FetchOutcome run = fetch("http://127.0.0.1:" + std::to_string(test::closedPort()) + "/f");
    ASSERT_TRUE(run.error);
    EXPECT_EQ(run.error->kind, Kind::Connect) << run.error->message;
    EXPECT_TRUE(run.events.empty());
}

TEST(HttpClient, GivesUpConnectingAfterTheTimeOut)
{
    // A listener that never accepts, with its queue filled, lets new handshakes hang.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&a), length), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<sockaddr *>(&a), length);
        fillers.push_back(s);
    }
    const FetchOutcome run = fetch("http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/f", 20s, 500ms);
    for (int s : fillers)
        ::close(s);
    ::close(listener);
    ASSERT_TRUE(run.error);
    EXPECT_EQ(run.error->kind, Kind::Timeout) << run.error->message;
}

} // namespace
} // namespace kivora
