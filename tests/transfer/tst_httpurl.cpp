#include "transfer/httpurl.h"
#include "platform/net/urlencoding.h"

#include <gtest/gtest.h>

#include <string>

namespace kivora {
namespace {

struct UrlCase
{
    const char *name;
    std::string text;
    bool valid;
    std::string host{};
    std::uint16_t port = 80;
    std::string target{};
    std::string hostField{};
};

class HttpUrlTest : public testing::TestWithParam<UrlCase> {};

TEST_P(HttpUrlTest, SplitsAndEncodes)
{
    const UrlCase &c = GetParam();
    HttpUrl url;
    std::string error;
    ASSERT_EQ(parseHttpUrl(c.text, url, error), c.valid) << error;
    if (!c.valid) {
        EXPECT_FALSE(error.empty());
        return;
    }
    EXPECT_EQ(url.host, c.host);
    EXPECT_EQ(url.port, c.port);
    EXPECT_EQ(url.target, c.target);
    EXPECT_EQ(url.hostField(), c.hostField);
}

INSTANTIATE_TEST_SUITE_P(Table, HttpUrlTest, testing::Values(
    UrlCase{"plain", "http://example.org/erge/lumora.exe", true, "example.org", 80, "/erge/lumora.exe", "example.org"},
    UrlCase{"scheme_any_case", "HTTP://Example.org/a", true, "Example.org", 80, "/a", "Example.org"},
    UrlCase{"port", "http://127.0.0.1:18083/a?b=c&d", true, "127.0.0.1", 18083, "/a?b=c&d", "127.0.0.1:18083"},
    UrlCase{"port_80_not_named", "http://host:80/a", true, "host", 80, "/a", "host"},
    UrlCase{"empty_port", "http://host:/a", true, "host", 80, "/a", "host"},
    UrlCase{"no_path", "http://host", true, "host", 80, "/", "host"},
    UrlCase{"query_only", "http://host?x=1", true, "host", 80, "/?x=1", "host"},
    UrlCase{"fragment_dropped", "http://host/a#part", true, "host", 80, "/a", "host"},
    UrlCase{"ipv6", "http://[::1]:8080/a", true, "::1", 8080, "/a", "[::1]:8080"},
    UrlCase{"ipv6_default_port", "http://[::1]/a", true, "::1", 80, "/a", "[::1]"},
    UrlCase{"space_and_quote", "http://h/a b\"c", true, "h", 80, "/a%20b%22c", "h"},
    UrlCase{"utf8", "http://h/\xe6\x9b\xb4\xe6\x96\xb0.exe", true, "h", 80, "/%E6%9B%B4%E6%96%B0.exe", "h"},
    UrlCase{"escapes_kept", "http://h/a%20b%2Fc", true, "h", 80, "/a%20b%2Fc", "h"},
    UrlCase{"lone_percent", "http://h/100%", true, "h", 80, "/100%25", "h"},
    UrlCase{"bad_escape", "http://h/%zz", true, "h", 80, "/%25zz", "h"},
    UrlCase{"controls_and_brackets", "http://h/a\tb<c>{d}|\\^`", true, "h", 80, "/a%09b%3Cc%3E%7Bd%7D%7C%5C%5E%60", "h"},
    UrlCase{"reserved_kept", "http://h/a:b@c!$&'()*+,;=-._~/?q=/?", true, "h", 80, "/a:b@c!$&'()*+,;=-._~/?q=/?", "h"},
    UrlCase{"https_refused", "https://example.org/a", false},
    UrlCase{"ftp_refused", "ftp://example.org/a", false},
    UrlCase{"relative", "/erge/lumora.exe", false},
    UrlCase{"empty", "", false},
    UrlCase{"no_host", "http:///a", false},
    UrlCase{"user_info", "http://user:pw@host/a", false},
    UrlCase{"port_zero", "http://host:0/a", false},
    UrlCase{"port_too_big", "http://host:65536/a", false},
    UrlCase{"port_letters", "http://host:8o/a", false},
    UrlCase{"host_with_space", "http://ho st/a", false},
    UrlCase{"host_non_ascii", "http://\xe4\xbe\x8b.cn/a", false},
    UrlCase{"ipv6_unterminated", "http://[::1/a", false},
    UrlCase{"ipv6_junk_after", "http://[::1]x/a", false},
    UrlCase{"ipv6_zone", "http://[fe80::1%25eth0]/a", false}),
    [](const testing::TestParamInfo<UrlCase> &info) { return std::string(info.param.name); });

TEST(GetRequest, IsExactlyTheAgreedBytes)
{
    struct Case
    {
        std::string url;
        std::string host;
        std::string target;
    };
    const Case cases[] = {
        {"http://example.org/erge/lumora.exe", "example.org", "/erge/lumora.exe"},
        {"http://127.0.0.1:18083/erge/lumora.exe?v=2", "127.0.0.1:18083", "/erge/lumora.exe?v=2"},
        {"http://[::1]:81/", "[::1]:81", "/"},
    };
    for (const Case &c : cases) {
        HttpUrl url;
        std::string error;
        ASSERT_TRUE(parseHttpUrl(c.url, url, error)) << error;
        EXPECT_EQ(buildGetRequest(url), "GET " + c.target + " HTTP/1.1\r\n"
                                        "Host: " + c.host + "\r\n"
                                        "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                                        "Accept-Encoding: identity\r\n"
                                        "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                                        "\r\n");
    }
}

TEST(Utf16, ConvertsAndRefusesUnpairedSurrogates)
{
    EXPECT_EQ(utf16ToUtf8(u"a\u00e9\u66f4\U0001F600"), std::string("a\xc3\xa9\xe6\x9b\xb4\xf0\x9f\x98\x80"));
    EXPECT_EQ(utf16ToUtf8(u""), std::string());
    EXPECT_FALSE(utf16ToUtf8(std::u16string(1, char16_t(0xD800))));
    EXPECT_FALSE(utf16ToUtf8(std::u16string{char16_t(0xDC00), u'a'}));
    EXPECT_FALSE(utf16ToUtf8(std::u16string{char16_t(0xD800), u'a'}));
}

} // namespace
} // namespace kivora
