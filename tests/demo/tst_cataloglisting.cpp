#include "tools/demo/cataloglisting.h"
#include "tools/demo/categorycolour.h"

#include <gtest/gtest.h>

#include <set>

namespace kivora::demo {
namespace {

struct LineCase {
    const char *name;
    const char *line;
    const char *folder; // nullptr when refused
    const char *title;
};

class CatalogLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CatalogLine, TakesFolderAndTitle)
{
    const auto entry = parseCatalogLine(GetParam().line);
    if (GetParam().folder == nullptr) {
        EXPECT_FALSE(entry.has_value());
        return;
    }
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->folder, GetParam().folder);
    EXPECT_EQ(entry->title, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CatalogLine,
    ::testing::Values(
        LineCase{"full", "TergerForm\tergerForm\terger\t1\t做客歌\terger/做客歌.swf\thttp://a/erger/做客歌.swf\thttp://b/erger/做客歌.swf",
                 "erger", "做客歌"},
        LineCase{"crlf", "TergerForm\tergerForm\terger\t1\t鹅\tx\ty\tz\r", "erger", "鹅"},
        LineCase{"spacesKept", "T\tt\tywerger\t3\t韵律诗the cock's on the housestop\tx", "ywerger",
                 "韵律诗the cock's on the housestop"},
        LineCase{"fiveColumns", "T\tt\tXchangshi\t1\t交通安全小动画1", "Xchangshi", "交通安全小动画1"},
        LineCase{"tooFewColumns", "T\tt\terger\t1", nullptr, nullptr},
        LineCase{"emptyTitle", "T\tt\terger\t1\t\tx", nullptr, nullptr},
        LineCase{"slashInTitle", "T\tt\terger\t1\ta/b\tx", nullptr, nullptr},
        LineCase{"parentTitle", "T\tt\terger\t1\t..\tx", nullptr, nullptr},
        LineCase{"parentFolder", "T\tt\t..\t1\ta\tx", nullptr, nullptr}),
    [](const ::testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

TEST(CatalogLine, CardPathKeepsTheWholeTitle)
{
    const CatalogEntry entry{"wanyx", "宠物连连看2.5版"};
    EXPECT_EQ(cardPath("/cache", entry), std::filesystem::path("/cache/wanyx/宠物连连看2.5版.swf"));
}

TEST(CategoryColour, EachFolderHasItsOwnStableColour)
{
    const char *folders[] = {"erger", "chengyugushi", "wanyx", "tinggushi", "xgushi", "xpinyin",
                             "Xchangshi", "dbpintu", "yuwenyx", "xyingyu", "ywerger"};
    std::set<std::string> colours;
    for (const char *folder : folders) {
        const std::string colour = colourForFolder(folder);
        EXPECT_EQ(colour.size(), 7u);
        EXPECT_EQ(colour.front(), '#');
        colours.insert(colour);
    }
    EXPECT_EQ(colours.size(), std::size(folders));
    EXPECT_EQ(colourForFolder("somethingElse"), colourForFolder("somethingElse"));
    EXPECT_EQ(colourForFolder("somethingElse").size(), 7u);
}

} // namespace
} // namespace kivora::demo
