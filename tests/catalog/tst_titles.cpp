// Every title can be a file name and an address segment; the titles whose exact
// characters matter are present as written; the groups and series are complete.
#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"
#include "catalog/serverhosts.h"
#include "tests/catalog/titletestsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace kivora {
namespace {

TEST(Titles, CanBeFileNames)
{
    constexpr std::u16string_view excluded = u"\\/:*?\"<>|";
    for (const auto& info : categories()) {
        for (const auto title : info.titles) {
            SCOPED_TRACE(std::string(info.folder) + " " + test::printable(title));
            EXPECT_GE(title.size(), 1u);
            EXPECT_LE(title.size(), 30u);
            ASSERT_FALSE(title.empty());
            EXPECT_NE(title.front(), u' ');
            EXPECT_NE(title.back(), u' ');
            EXPECT_EQ(title.find_first_of(excluded), std::u16string_view::npos);
            // Control characters and unpaired surrogates would make unusable paths too.
            EXPECT_TRUE(std::none_of(title.begin(), title.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; }));
            EXPECT_EQ(fromUtf8(toUtf8(title)), title);
        }
    }
}

TEST(Titles, UniqueAcrossAllCategories)
{
    std::map<std::u16string_view, std::string_view> owner;
    for (const auto& info : categories()) {
        for (const auto title : info.titles) {
            const auto [it, inserted] = owner.emplace(title, info.folder);
            EXPECT_TRUE(inserted) << test::printable(title) << " in " << info.folder << " and " << it->second;
        }
    }
}

TEST(Titles, LongestIsTheOnlyOneOfThirtyCharacters)
{
    std::vector<std::u16string_view> longest;
    for (const auto& info : categories()) {
        for (const auto title : info.titles) {
            if (title.size() == 30)
                longest.push_back(title);
        }
    }
    ASSERT_EQ(longest.size(), 1u);
    EXPECT_EQ(longest.front(), u"韵律诗the cock's on the housestop");
}

struct CharacterCase {
    std::string_view windowClass;
    std::u16string_view title;  // special characters spelled as escapes so the code points are checked
};

// Titles whose characters matter for file names and addresses.
const CharacterCase characterCases[] = {
    // ASCII space
    {"Tchengyuform", u"拔山盖世 四面楚歌"},
    {"TpinyinForm", u"小恐龙学拼音 第一课"},
    {"TxyingyuForm", u"Boy Girl"},
    {"TxyingyuForm", u"天线hide and seek"},
    {"TgwergerForm", u"韵律诗warm hands"},
    {"TgwergerForm", u"Head and Shoulders"},
    // ASCII and typographic apostrophes, typographic double quotes
    {"TxyingyuForm", u"天线let's count"},
    {"TgwergerForm", u"韵律诗the cock's on the housestop"},
    {"TgwergerForm", u"What's your name"},
    {"TgwergerForm", u"Grandma\u2019s Glasses"},
    {"TxyingyuForm", u"英语游戏\u201C猫\u201D跃倒钩"},
    // ASCII, full-width and ideographic commas
    {"TwanyouxiForm", u"看电影,考眼力"},
    {"TgwergerForm", u"韵律诗sing,sing"},
    {"Tchengyuform", u"一叶障目\uFF0C不见泰山"},
    {"TXchangshiForm", u"算一算\uFF0C知多少"},
    {"TXchangshiForm", u"狮子\u3001鸟贼和鲨鱼"},
    {"TxyingyuForm", u"单词-文具\u3001物品名"},
    // full stop inside, digits (also leading)
    {"TwanyouxiForm", u"宠物连连看2.5版"},
    {"TxyingyuForm", u"1到10报数"},
    {"TwanyouxiForm", u"是男人就下100层"},
    {"Thtgushiform", u"水孩子01"},
    {"TxyuwenForm", u"三字经第09"},
    // ASCII, full-width and mixed parentheses
    {"Thtgushiform", u"长坂桥(下)"},
    {"TXchangshiForm", u"美在里面(河蚌)"},
    {"Tdbpingtuform", u"两个小朋友拼图(6块)"},
    {"TxyingyuForm", u"单词-动物名称(一)"},
    {"TwanyouxiForm", u"扫雷\uFF08用空格标记雷\uFF09"},
    {"Thtgushiform", u"牛郎织女\uFF08上\uFF09"},
    {"TergerForm", u"\uFF08小毛驴\uFF09"},
    {"TergerForm", u"(猫头鹰\uFF09"},
    // full-width colon, em dash, hyphen-minus
    {"TergerForm", u"童话新唱\uFF1A白雪公主"},
    {"TergerForm", u"谜语\uFF1A长颈鹿"},
    {"Thtgushiform", u"小西瓜故事\uFF1A爸妈吵架了"},
    {"TergerForm", u"三字经\u2014人之初"},
    {"Thtgushiform", u"灰姑娘的故事\u20141"},
    {"TergerForm", u"爱我你就抱抱我-10种方言"},
    {"Tdbpingtuform", u"幼儿填色-涂色01"},
    {"TXchangshiForm", u"害虫的天敌-金小蜂"},
    {"TgwergerForm", u"the-bear-went-over-mountain"},
    {"TgwergerForm", u"Autumn Leaves Are A-Falling"},
    // middle dot, u with diaeresis, both letter cases
    {"TgushiForm", u"天净沙\u00B7秋思"},
    {"TgushiForm", u"朝天子\u00B7咏喇叭"},
    {"TpinyinForm", u"单韵母\u00FC"},
    {"TpinyinForm", u"复韵母\u00FCe"},
    {"TpinyinForm", u"复韵母\u00FCn"},
    {"TwanyouxiForm", u"QQ连连看"},
    {"TxyuwenForm", u"麻雀VS猎狗"},
    {"TgwergerForm", u"SayHi英语歌曲10"},
    {"TgwergerForm", u"ABCD song"},
    {"TgwergerForm", u"a tisket"},
    // one character
    {"TergerForm", u"鹅"},
    {"TergerForm", u"马"},
    {"TergerForm", u"画"},
    {"TergerForm", u"鲸"},
    {"Thtgushiform", u"龙"},
    // near twins that are distinct files
    {"TgushiForm", u"宿建德江"},
    {"TgushiForm", u"宿建得江"},
    {"TgwergerForm", u"Good morning"},
    {"TgwergerForm", u"Good morning2"},
    {"TgwergerForm", u"pussycat"},
    {"TgwergerForm", u"韵律诗pussy cat"},
    {"TgwergerForm", u"headshoulde"},
    {"Tdbpingtuform", u"折纸狗"},
    {"Tdbpingtuform", u"折纸狗2"},
};

TEST(TitleCharacters, PresentAndCarriedUnchangedIntoPathAndAddresses)
{
    constexpr std::u16string_view programDir = u"/opt/kivora/";
    for (const auto& c : characterCases) {
        SCOPED_TRACE(std::string(c.windowClass) + " " + test::printable(c.title));
        const TCategoryInfo& info = test::category(c.windowClass);
        ASSERT_NE(std::find(info.titles.begin(), info.titles.end(), c.title), info.titles.end());

        const std::u16string segment = fromUtf8(info.folder) + u"/" + std::u16string(c.title) + u".swf";
        EXPECT_EQ(localPath(programDir, info.folder, c.title), std::u16string(programDir) + segment);
        EXPECT_EQ(contentAddress("127.0.0.1:8080", info.folder, c.title), u"http://127.0.0.1:8080/" + segment);
        EXPECT_EQ(streamingAddress(info.folder, c.title), contentAddress(streamHost(), info.folder, c.title));
        EXPECT_EQ(downloadAddress(info.folder, c.title), contentAddress(downloadHost(), info.folder, c.title));
    }
}

// A run of titles given by a prefix and the numbers in the order they stand.
struct SeriesCase {
    std::string_view windowClass;
    std::u16string_view prefix;
    std::u16string_view suffix;
    int width;  // zero-padded width of the number, 0 for none
    std::vector<int> numbers;
};

std::vector<int> range(int from, int to)
{
    std::vector<int> numbers;
    for (int n = from; from <= to ? n <= to : n >= to; n += from <= to ? 1 : -1)
        numbers.push_back(n);
    return numbers;
}

std::vector<int> join(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::u16string numbered(const SeriesCase& s, int n)
{
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) < s.width)
        digits.insert(0, static_cast<std::size_t>(s.width) - digits.size(), '0');
    return std::u16string(s.prefix) + fromUtf8(digits) + std::u16string(s.suffix);
}

const SeriesCase seriesCases[] = {
    // character by character: 9 … 4, 30, 3, 29 … 20, 2, 19 … 10, 1
    {"Thtgushiform", u"木偶奇遇记", u"", 0, join({range(9, 4), {30, 3}, range(29, 20), {2}, range(19, 10), {1}})},
    {"TXchangshiForm", u"交通安全小动画", u"", 0, join({range(9, 3), range(24, 20), {2}, range(19, 10), {1}})},
    {"TxyuwenForm", u"三字经第", u"", 2, range(17, 1)},
    {"TgwergerForm", u"SayHi英语歌曲", u"", 0, join({range(9, 2), range(12, 10), {1}})},
    {"Tdbpingtuform", u"填色", u"", 0, range(1, 23)},
    {"TxyingyuForm", u"棒棒学英语", u"", 0, range(1, 38)},
    {"TxyingyuForm", u"音标认识", u"", 0, range(1, 12)},
    {"TxyingyuForm", u"三只小猪", u"集", 2, range(1, 50)},
    {"TpinyinForm", u"识字", u"", 2, range(1, 22)},  // lesson titles go on after the number
};

TEST(TitleSeries, RunContiguouslyInTheirOrder)
{
    for (const auto& s : seriesCases) {
        SCOPED_TRACE(std::string(s.windowClass) + " " + test::printable(s.prefix));
        const auto titles = test::category(s.windowClass).titles;
        const std::u16string first = numbered(s, s.numbers.front());
        const auto start = std::find_if(titles.begin(), titles.end(), [&](std::u16string_view t) {
            return s.prefix == u"识字" ? t.starts_with(first) : t == first;
        });
        ASSERT_NE(start, titles.end()) << "missing " << test::printable(first);
        ASSERT_LE(static_cast<std::size_t>(titles.end() - start), titles.size());
        ASSERT_GE(static_cast<std::size_t>(titles.end() - start), s.numbers.size());
        for (std::size_t i = 0; i < s.numbers.size(); ++i) {
            const std::u16string expected = numbered(s, s.numbers[i]);
            const std::u16string_view actual = start[static_cast<std::ptrdiff_t>(i)];
            if (s.prefix == u"识字")
                EXPECT_TRUE(actual.starts_with(expected) && actual.size() > expected.size()) << test::printable(actual);
            else
                EXPECT_EQ(actual, expected) << test::printable(actual);
        }
    }
}

TEST(TitleSeries, PinyinLessonsAndCharacterLessonEnds)
{
    const auto titles = test::category("TpinyinForm").titles;
    const std::u16string_view lessons[] = {u"一", u"二", u"三", u"四", u"五", u"六",
                                           u"七", u"八", u"九", u"十", u"十一", u"十二"};
    for (std::size_t i = 0; i < std::size(lessons); ++i)
        EXPECT_EQ(titles[63 + i], u"小恐龙学拼音 第" + std::u16string(lessons[i]) + u"课");
    EXPECT_EQ(titles[75], u"识字01方长多少上下大小中");
    EXPECT_EQ(titles[96], u"识字22台抬胎苔");
}

// A group: `count` titles from position `first` (0-based) that begin with `prefix`,
// and no other title of the category begins with it.
struct GroupCase {
    std::string_view windowClass;
    std::size_t first;
    std::size_t count;
    std::u16string_view prefix;
};

const GroupCase groupCases[] = {
    {"TpinyinForm", 0, 6, u"单韵母"},
    {"TpinyinForm", 6, 14, u"复韵母"},
    {"TpinyinForm", 20, 4, u"后鼻韵母"},
    {"TpinyinForm", 24, 23, u"声母"},
    {"TpinyinForm", 47, 16, u"整体认读音节"},
    {"TpinyinForm", 63, 12, u"小恐龙学拼音 第"},
    {"TpinyinForm", 97, 98, u"识字卡"},
    {"Tdbpingtuform", 0, 23, u"填色"},
    {"Tdbpingtuform", 23, 29, u"幼儿填色-"},
    {"Tdbpingtuform", 65, 58, u"折纸"},
    {"TxyingyuForm", 30, 19, u"单词"},
    {"TxyingyuForm", 49, 38, u"棒棒学英语"},
    {"TxyingyuForm", 102, 15, u"天线"},
    {"TxyingyuForm", 117, 12, u"音标认识"},
    {"TxyingyuForm", 129, 50, u"三只小猪"},
    {"TxyingyuForm", 179, 44, u"英语游戏"},
    {"TgwergerForm", 0, 22, u"韵律诗"},
};

TEST(TitleGroups, StandTogetherWithTheirCounts)
{
    for (const auto& g : groupCases) {
        SCOPED_TRACE(std::string(g.windowClass) + " " + test::printable(g.prefix));
        const auto titles = test::category(g.windowClass).titles;
        ASSERT_LE(g.first + g.count, titles.size());
        for (std::size_t i = 0; i < titles.size(); ++i) {
            const bool inGroup = i >= g.first && i < g.first + g.count;
            EXPECT_EQ(titles[i].starts_with(g.prefix), inGroup) << "position " << i + 1 << " " << test::printable(titles[i]);
        }
    }
}

TEST(TitleGroups, EnglishOpensWithTwentyEightEnglishTitles)
{
    const auto titles = test::category("TxyingyuForm").titles;
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const bool english = std::all_of(titles[i].begin(), titles[i].end(), [](char16_t c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u' ';
        });
        EXPECT_EQ(english, i < 28) << "position " << i + 1 << " " << test::printable(titles[i]);
    }
    EXPECT_EQ(titles[27], u"Spoon Plate");
}

} // namespace
} // namespace kivora
