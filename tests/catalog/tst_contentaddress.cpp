// The path and address rules on the examples that matter, the built-in hosts, and
// the UTF-8 helpers on well-formed and malformed input.
#include "catalog/contentaddress.h"
#include "catalog/serverhosts.h"

#include <gtest/gtest.h>

#include <string>

namespace kivora {
namespace {

struct AddressCase {
    std::string_view folder;
    std::u16string_view title;
    std::u16string_view localPath;  // under "/opt/kivora/"
    std::u16string_view address;    // on host "127.0.0.1:18081"
};

const AddressCase addressCases[] = {
    {"erger", u"做客歌", u"/opt/kivora/erger/做客歌.swf", u"http://127.0.0.1:18081/erger/做客歌.swf"},
    {"erger", u"鹅", u"/opt/kivora/erger/鹅.swf", u"http://127.0.0.1:18081/erger/鹅.swf"},
    {"ywerger", u"韵律诗the cock's on the housestop", u"/opt/kivora/ywerger/韵律诗the cock's on the housestop.swf",
     u"http://127.0.0.1:18081/ywerger/韵律诗the cock's on the housestop.swf"},
    // the extension is only the last ".swf"
    {"wanyx", u"宠物连连看2.5版", u"/opt/kivora/wanyx/宠物连连看2.5版.swf",
     u"http://127.0.0.1:18081/wanyx/宠物连连看2.5版.swf"},
    // the folder keeps its capital letter
    {"Xchangshi", u"交通安全小动画1", u"/opt/kivora/Xchangshi/交通安全小动画1.swf",
     u"http://127.0.0.1:18081/Xchangshi/交通安全小动画1.swf"},
    // no escaping of spaces, apostrophes, percent signs or full-width punctuation
    {"xyingyu", u"天线hide and seek", u"/opt/kivora/xyingyu/天线hide and seek.swf",
     u"http://127.0.0.1:18081/xyingyu/天线hide and seek.swf"},
    {"ywerger", u"Grandma\u2019s Glasses", u"/opt/kivora/ywerger/Grandma\u2019s Glasses.swf",
     u"http://127.0.0.1:18081/ywerger/Grandma\u2019s Glasses.swf"},
    {"dbpintu", u"100%", u"/opt/kivora/dbpintu/100%.swf", u"http://127.0.0.1:18081/dbpintu/100%.swf"},
};

TEST(ContentAddress, LocalPathAndAddressByConcatenation)
{
    for (const auto& c : addressCases) {
        SCOPED_TRACE(toUtf8(c.title));
        EXPECT_EQ(localPath(u"/opt/kivora/", c.folder, c.title), c.localPath);
        EXPECT_EQ(contentAddress("127.0.0.1:18081", c.folder, c.title), c.address);
    }
    // A host that names its scheme keeps it, whatever the build's.
    EXPECT_EQ(contentAddress("https://127.0.0.1:8443", "erger", u"鹅"), u"https://127.0.0.1:8443/erger/鹅.swf");
    EXPECT_EQ(contentAddress("http://127.0.0.1", "erger", u"鹅"), u"http://127.0.0.1/erger/鹅.swf");
}

TEST(ContentAddress, StreamingAndDownloadUseTheirOwnHosts)
{
    EXPECT_FALSE(streamHost().empty());
    EXPECT_FALSE(downloadHost().empty());
    EXPECT_FALSE(updateHost().empty());
    EXPECT_NE(streamHost(), downloadHost());
    const std::u16string scheme = fromUtf8(contentScheme()) + u"://";
    EXPECT_EQ(streamingAddress("erger", u"鹅"), scheme + fromUtf8(streamHost()) + u"/erger/鹅.swf");
    EXPECT_EQ(downloadAddress("erger", u"鹅"), scheme + fromUtf8(downloadHost()) + u"/erger/鹅.swf");
}

TEST(ContentAddress, StopPathFollowsTheExecutableWithoutSeparator)
{
    EXPECT_EQ(stopPath(u"/opt/kivora/lumora"), u"/opt/kivora/lumoraA123.swf");
    EXPECT_EQ(stopPath(u"/opt/中文 目录/lumora"), u"/opt/中文 目录/lumoraA123.swf");
}

TEST(ContentAddress, UpdateAddressNamesTheVersionFile)
{
    EXPECT_EQ(updateAddress(), u"http://" + fromUtf8(updateHost()) + u"/erge/update.txt");
}

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

const Utf8Case wellFormed[] = {
    {"empty", "", u""},
    {"ascii", "Boy Girl", u"Boy Girl"},
    {"two-byte", "\xC3\xBC", u"\u00FC"},
    {"three-byte", "\xE9\xB9\x85", u"鹅"},
    {"four-byte", "\xF0\x9F\x98\x80", u"\U0001F600"},
    {"mixed", "a\xE2\x80\x94" "1", u"a\u20141"},
};

TEST(Utf8Text, RoundTripsWellFormedText)
{
    for (const auto& c : wellFormed) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fromUtf8(c.utf8), c.utf16);
        EXPECT_EQ(toUtf8(c.utf16), c.utf8);
    }
}

const Utf8Case malformedUtf8[] = {
    {"stray continuation", "a\x80z", u"a\uFFFDz"},
    {"invalid lead", "\xFF", u"\uFFFD"},
    {"truncated at end", "\xE9\xB9", u"\uFFFD"},
    {"truncated before ascii", "\xE9\xB9x", u"\uFFFDx"},
    {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD"},
    {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD"},
};

TEST(Utf8Text, MalformedUtf8BecomesReplacementCharacters)
{
    for (const auto& c : malformedUtf8) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fromUtf8(c.utf8), c.utf16);
    }
}

TEST(Utf8Text, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::u16string loneHigh = {u'a', char16_t(0xD800), u'b'};
    const std::u16string loneLow = {char16_t(0xDC00)};
    const std::u16string reversed = {char16_t(0xDC00), char16_t(0xD800)};
    EXPECT_EQ(toUtf8(loneHigh), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(toUtf8(loneLow), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

} // namespace
} // namespace kivora
