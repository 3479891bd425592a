#include "catalogtool/titleselection.h"

#include "catalog/TCategoryInfo.h"
#include "platform/text/utf.h"

#include <gtest/gtest.h>

namespace kivora::catalogtool {
namespace {

TEST(TitleSelectionTest, NamedFoldersInTheOrderGivenEachOnce)
{
    const TitleSelection selection = selectTitles({"xgushi", "Xchangshi", "xgushi"}, "/opt/kivora", "h:8");
    ASSERT_TRUE(selection.error.empty()) << selection.error;
    ASSERT_EQ(selection.titles.size(), 99u + 86u);
    const TitleFile &first = selection.titles.front();
    EXPECT_EQ(first.folder, "xgushi");
    EXPECT_EQ(selection.titles[99].folder, "Xchangshi");
    EXPECT_EQ(toUtf8(first.localPath), "/opt/kivora/" + first.name);
    EXPECT_EQ(toUtf8(first.address), "http://h:8/" + first.name);
}

TEST(TitleSelectionTest, DirectoryWithOrWithoutTrailingSlash)
{
    for (const char *directory : {"/srv/k/", "/srv/k"}) {
        const TitleSelection selection = selectTitles({"ywerger"}, directory, "h");
        ASSERT_FALSE(selection.titles.empty());
        EXPECT_EQ(toUtf8(selection.titles.back().localPath), "/srv/k/ywerger/a tisket.swf") << directory;
    }
    EXPECT_EQ(toUtf8(selectTitles({"ywerger"}, "", "h").titles.back().localPath), "./ywerger/a tisket.swf");
}

TEST(TitleSelectionTest, EverythingWhenNoFolderIsNamed)
{
    std::size_t total = 0;
    for (const auto &category : categories())
        total += category.titles.size();
    EXPECT_EQ(selectTitles({}, ".", "h").titles.size(), total);
}

TEST(TitleSelectionTest, UnknownFolderSelectsNothing)
{
    const TitleSelection selection = selectTitles({"erger", "Erger"}, ".", "h");
    EXPECT_TRUE(selection.titles.empty());
    EXPECT_NE(selection.error.find("'Erger'"), std::string::npos);
}

} // namespace
} // namespace kivora::catalogtool
