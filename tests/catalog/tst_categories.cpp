// The eleven category records: identity, title counts, list placement, and the
// titles that open and close each list.
#include "catalog/TCategoryInfo.h"
#include "tests/catalog/titletestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace kivora {
namespace {

struct RecordCase {
    std::string_view windowClass;
    std::string_view windowName;
    std::string_view hotSpot;
    std::string_view folder;
    std::size_t titleCount;
    ListPlacement placement;
};

constexpr int panelWidth = 977;
constexpr int panelHeight = 681;

// In the order the launcher's sites list them.
const RecordCase records[] = {
    {"TergerForm", "ergerForm", "SpeedButton7", "erger", 307, {true, 839, 1, 137, 679}},
    {"Tchengyuform", "chengyuform", "SpeedButton8", "chengyugushi", 92, {true, 823, 1, 153, 679}},
    {"TwanyouxiForm", "wanyouxiForm", "SpeedButton13", "wanyx", 92, {true, 823, 1, 153, 679}},
    {"Thtgushiform", "htgushiform", "SpeedButton3", "tinggushi", 275, {true, 839, 1, 137, 679}},
    {"TgushiForm", "gushiForm", "SpeedButton6", "xgushi", 99, {true, 800, 1, 176, 679}},
    {"TpinyinForm", "pinyinForm", "SpeedButton9", "xpinyin", 195, {true, 847, 1, 129, 679}},
    {"TXchangshiForm", "XchangshiForm", "SpeedButton11", "Xchangshi", 86, {false, 800, 0, 177, 681}},
    {"Tdbpingtuform", "dbpingtuform", "SpeedButton14", "dbpintu", 123, {true, 815, 1, 161, 679}},
    {"TxyuwenForm", "xyuwenForm", "SpeedButton4", "yuwenyx", 145, {true, 839, 1, 137, 679}},
    {"TxyingyuForm", "xyingyuForm", "SpeedButton12", "xyingyu", 223, {false, 816, 0, 161, 681}},
    {"TgwergerForm", "gwergerForm", "SpeedButton10", "ywerger", 99, {true, 719, 1, 257, 679}},
};

TEST(CategoryRecords, ElevenInTableOrderWithTheirIdentity)
{
    const auto all = categories();
    ASSERT_EQ(all.size(), std::size(records));
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(records[i].windowClass);
        EXPECT_EQ(all[i].windowClass, records[i].windowClass);
        EXPECT_EQ(all[i].windowName, records[i].windowName);
        EXPECT_EQ(all[i].hotSpot, records[i].hotSpot);
        EXPECT_EQ(all[i].folder, records[i].folder);
        EXPECT_EQ(all[i].titles.size(), records[i].titleCount);
        EXPECT_EQ(findCategory(records[i].windowClass), &all[i]);
    }
}

TEST(CategoryRecords, TotalTitleCount)
{
    const auto all = categories();
    const auto total = std::accumulate(all.begin(), all.end(), std::size_t{0},
                                       [](std::size_t sum, const TCategoryInfo& c) { return sum + c.titles.size(); });
    EXPECT_EQ(total, 1736u);
}

TEST(CategoryRecords, UnknownOrMiscasedClassIsNotFound)
{
    for (const std::string_view name : {"", "TmainForm", "tergerform", "TergerForm ", "ergerForm", "TdbpintuForm"}) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(findCategory(name), nullptr);
    }
}

TEST(CategoryRecords, FolderNamesAreAsciiAndDistinct)
{
    std::vector<std::string_view> seen;
    for (const auto& info : categories()) {
        SCOPED_TRACE(std::string(info.folder));
        for (const char c : info.folder)
            EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
        EXPECT_EQ(std::find(seen.begin(), seen.end(), info.folder), seen.end());
        seen.push_back(info.folder);
    }
}

TEST(ListPlacement, MatchesTheLayoutOfEachWindow)
{
    for (const auto& expected : records) {
        SCOPED_TRACE(expected.windowClass);
        const ListPlacement& actual = test::category(expected.windowClass).placement;
        EXPECT_EQ(actual.rightStrip, expected.placement.rightStrip);
        EXPECT_EQ(actual.left, expected.placement.left);
        EXPECT_EQ(actual.top, expected.placement.top);
        EXPECT_EQ(actual.width, expected.placement.width);
        EXPECT_EQ(actual.height, expected.placement.height);
    }
}

TEST(ListPlacement, StripsLieInsideTheBevelAndFixedListsSpanThePanel)
{
    for (const auto& info : categories()) {
        SCOPED_TRACE(std::string(info.windowClass));
        const ListPlacement& p = info.placement;
        if (p.rightStrip) {
            EXPECT_EQ(p.left, 976 - p.width);
            EXPECT_EQ(p.top, 1);
            EXPECT_EQ(p.top + p.height, panelHeight - 1);
            EXPECT_GE(p.left, 1);
        } else {
            EXPECT_EQ(p.top, 0);
            EXPECT_EQ(p.height, panelHeight);
            EXPECT_EQ(p.left + p.width, panelWidth);
        }
    }
}

struct EndsCase {
    std::string_view windowClass;
    std::vector<std::u16string_view> firstThree;
    std::vector<std::u16string_view> lastTwo;  // empty when only the shape of the end is fixed
};

const EndsCase ends[] = {
    {"TergerForm", {u"做客歌", u"祖国祖国多美丽", u"自作聪明的小毛驴"}, {u"白白鹅", u"(猫头鹰\uFF09"}},
    {"Tchengyuform", {u"罪不容诛", u"走马看花", u"纵虎归山"}, {u"拔山盖世 四面楚歌", u"拔苗助长"}},
    {"TwanyouxiForm", {u"捉龟记", u"猪会飞", u"中国象棋"}, {u"奥比捕鱼", u"QQ连连看"}},
    {"Thtgushiform", {u"自私的小猪", u"煮酒论英雄", u"猪爸爸和猪女儿"}, {u"爱美的小公鸡", u"爱吃糖的老虎"}},
    {"TgushiForm", {u"竹枝词", u"竹石", u"竹里馆"}, {}},
    {"TpinyinForm", {u"单韵母a", u"单韵母o", u"单韵母e"}, {u"识字卡左", u"识字卡右"}},
    {"TXchangshiForm", {u"邮票齿孔的故事", u"牙齿的秘密", u"寻找恐龙探险记"}, {u"保护水源", u"爱眼屋"}},
    {"Tdbpingtuform", {u"填色1", u"填色2", u"填色3"}, {u"折纸蝎子", u"折纸鸭子"}},
    {"TxyuwenForm", {u"啄木鸟大夫", u"捉迷藏", u"照顾蚕宝宝"}, {u"饱餐一顿", u"阿拉霍洞开"}},
    {"TxyingyuForm", {u"Boy Girl", u"Book Pencil", u"Bird Butterfly"}, {u"英语游戏诱人的香蕉", u"英语游戏中华神功"}},
    {"TgwergerForm",
     {u"韵律诗warm hands", u"韵律诗to market", u"韵律诗the cock's on the housestop"},
     {u"ABCD song", u"a tisket"}},
};

TEST(TitleListEnds, FirstThreeAndLastTwo)
{
    for (const auto& expected : ends) {
        SCOPED_TRACE(expected.windowClass);
        const auto titles = test::category(expected.windowClass).titles;
        ASSERT_GE(titles.size(), 5u);
        for (std::size_t i = 0; i < expected.firstThree.size(); ++i)
            EXPECT_EQ(titles[i], expected.firstThree[i]) << "position " << i + 1 << ": " << test::printable(titles[i]);
        const std::size_t tail = titles.size() - expected.lastTwo.size();
        for (std::size_t i = 0; i < expected.lastTwo.size(); ++i)
            EXPECT_EQ(titles[tail + i], expected.lastTwo[i])
                << "position " << tail + i + 1 << ": " << test::printable(titles[tail + i]);
    }
}

// The poem list ends with two farewell poems, with "泊秦淮", "泊船瓜洲" just before them.
TEST(TitleListEnds, PoemsCloseWithTwoFarewellPoems)
{
    const auto titles = test::category("TgushiForm").titles;
    ASSERT_EQ(titles.size(), 99u);
    EXPECT_EQ(titles[95], u"泊秦淮");
    EXPECT_EQ(titles[96], u"泊船瓜洲");
    const std::vector<std::u16string_view> farewell = {u"别董大", u"白雪歌送武判官归京", u"送元二使安西",
                                                       u"送杜少府之任蜀州", u"赋得古原草送别", u"山中送别"};
    for (const std::size_t i : {std::size_t{97}, std::size_t{98}}) {
        EXPECT_NE(std::find(farewell.begin(), farewell.end(), titles[i]), farewell.end())
            << test::printable(titles[i]);
    }
}

} // namespace
} // namespace kivora
