// The sorted lists stand in descending Chinese (pinyin) collation order, and break
// it only where the lists are meant to: the second run of the children's songs, the
// Latin game title placed last, and the rhymes that open the foreign-language songs.
#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"
#include "tests/catalog/titletestsupport.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace kivora {
namespace {

std::unique_ptr<icu::Collator> chineseCollator(icu::Collator::ECollationStrength strength)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale("zh"), status));
    if (U_FAILURE(status) || !collator)
        return nullptr;
    collator->setStrength(strength);
    return collator;
}

// The collator knows one reading per character; where a list uses another reading
// of a polyphonic character, a character of that reading stands in for it.
using Readings = std::vector<std::pair<char16_t, char16_t>>;

icu::UnicodeString collationText(std::u16string_view title, const Readings& readings)
{
    std::u16string text(title);
    for (const auto& [from, to] : readings)
        std::replace(text.begin(), text.end(), from, to);
    return icu::UnicodeString(text.data(), static_cast<int32_t>(text.size()));
}

// 0-based positions i where titles[i] sorts above titles[i - 1].
std::vector<std::size_t> orderBreaks(std::span<const std::u16string_view> titles, const icu::Collator& collator,
                                     const Readings& readings)
{
    std::vector<std::size_t> breaks;
    for (std::size_t i = 1; i < titles.size(); ++i) {
        UErrorCode status = U_ZERO_ERROR;
        if (collator.compare(collationText(titles[i - 1], readings), collationText(titles[i], readings), status)
            == UCOL_LESS)
            breaks.push_back(i);
    }
    return breaks;
}

struct OrderCase {
    std::string_view windowClass;
    icu::Collator::ECollationStrength strength;
    Readings readings;
    std::vector<std::size_t> expectedBreaks;
};

const OrderCase orderCases[] = {
    // two runs: titles 1–179 and 180–307
    {"TergerForm", icu::Collator::TERTIARY, {}, {179}},
    {"Tchengyuform", icu::Collator::TERTIARY, {}, {}},
    // "QQ连连看" stands last although Latin sorts above Chinese
    {"TwanyouxiForm", icu::Collator::TERTIARY, {}, {91}},
    {"Thtgushiform", icu::Collator::TERTIARY, {}, {}},
    // 泊 is read bó (as 博), not pō
    {"TgushiForm", icu::Collator::TERTIARY, {{u'泊', u'博'}}, {}},
    {"TXchangshiForm", icu::Collator::TERTIARY, {}, {}},
    {"TxyuwenForm", icu::Collator::TERTIARY, {}, {}},
    // case ignored; the 22 rhymes (ordered by their English part) come before the rest
    {"TgwergerForm", icu::Collator::SECONDARY, {}, {22}},
};

TEST(TitleOrder, DescendingExceptWhereTheListIsMeantToBreak)
{
    for (const auto& c : orderCases) {
        SCOPED_TRACE(std::string(c.windowClass));
        const auto collator = chineseCollator(c.strength);
        ASSERT_TRUE(collator);
        const auto titles = test::category(c.windowClass).titles;
        const auto breaks = orderBreaks(titles, *collator, c.readings);
        EXPECT_EQ(breaks, c.expectedBreaks);
        for (const std::size_t i : breaks) {
            if (std::find(c.expectedBreaks.begin(), c.expectedBreaks.end(), i) == c.expectedBreaks.end())
                ADD_FAILURE() << "position " << i + 1 << " " << test::printable(titles[i]) << " sorts above "
                              << test::printable(titles[i - 1]);
        }
    }
}

bool beginsWithBracket(std::u16string_view title)
{
    return title.starts_with(u'(') || title.starts_with(u'\uFF08');
}

bool beginsWithLatin(std::u16string_view title)
{
    return !title.empty() && ((title[0] >= u'A' && title[0] <= u'Z') || (title[0] >= u'a' && title[0] <= u'z'));
}

TEST(TitleOrder, EachRunOfChildrensSongsEndsWithABracketTitle)
{
    const auto titles = test::category("TergerForm").titles;
    ASSERT_EQ(titles.size(), 307u);
    EXPECT_TRUE(beginsWithBracket(titles[178])) << test::printable(titles[178]);
    EXPECT_TRUE(beginsWithBracket(titles[306])) << test::printable(titles[306]);
}

TEST(TitleOrder, OnlyTheLastGameBeginsWithLatinLetters)
{
    const auto titles = test::category("TwanyouxiForm").titles;
    for (std::size_t i = 0; i < titles.size(); ++i)
        EXPECT_EQ(beginsWithLatin(titles[i]), i + 1 == titles.size()) << test::printable(titles[i]);
}

TEST(TitleOrder, ForeignSongsAfterTheRhymesBeginWithLatinLetters)
{
    const auto titles = test::category("TgwergerForm").titles;
    for (std::size_t i = 22; i < titles.size(); ++i)
        EXPECT_TRUE(beginsWithLatin(titles[i])) << test::printable(titles[i]);
}

TEST(TitleOrder, ATitleThatExtendsAnotherStandsJustBeforeIt)
{
    const std::pair<std::string_view, std::pair<std::u16string_view, std::u16string_view>> cases[] = {
        {"TgushiForm", {u"凉州词2", u"凉州词"}},
        {"TgwergerForm", {u"Good morning2", u"Good morning"}},
        {"Tdbpingtuform", {u"折纸狗", u"折纸狗2"}},  // a group in teaching order, not sorted
    };
    for (const auto& [windowClass, pair] : cases) {
        SCOPED_TRACE(test::printable(pair.first));
        const auto titles = test::category(windowClass).titles;
        const auto first = std::find(titles.begin(), titles.end(), pair.first);
        ASSERT_NE(first, titles.end());
        ASSERT_NE(first + 1, titles.end());
        EXPECT_EQ(first[1], pair.second);
    }
}

} // namespace
} // namespace kivora
