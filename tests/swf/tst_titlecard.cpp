#include "tests/swf/shapedecoder.h"
#include "tools/swf/swfreader.h"
#include "tools/swf/titlecard.h"

#include <QColor>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>

namespace kivora::swf {
namespace {

constexpr std::uint16_t showFrame = 1;
constexpr std::uint16_t setBackgroundColor = 9;
constexpr std::uint16_t doAction = 12;
constexpr std::uint16_t defineSound = 14;
constexpr std::uint16_t startSound = 15;
constexpr std::uint16_t defineShape3 = 32;
constexpr std::uint16_t fileAttributes = 69;
constexpr std::uint16_t titleShapeId = 2;

struct CardCase {
    const char *name;
    const char *title; // UTF-8
    const char *colour;
    Compression compression;
    bool withSound;
    int minContours; // at least one per visible glyph
};

void PrintTo(const CardCase &c, std::ostream *out)
{
    *out << c.name;
}

class TitleCardFile : public ::testing::TestWithParam<CardCase> {
protected:
    static const TitleCard &card()
    {
        static const TitleCard instance;
        return instance;
    }
};

std::uint16_t readU16(const Bytes &data, std::size_t offset)
{
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

TEST_P(TitleCardFile, IsAWellFormedAnimatedCard)
{
    const CardCase c = GetParam();
    const QColor colour = QColor::fromString(QString::fromLatin1(c.colour));
    const Bytes bytes = card().build(QString::fromUtf8(c.title), colour, TitleCardOptions{c.compression, c.withSound});
    EXPECT_LT(bytes.size(), 64u * 1024u);

    const SwfParseResult result = parseSwf(bytes);
    ASSERT_TRUE(result.ok) << result.error;
    const SwfFile &file = result.file;
    EXPECT_EQ(file.signature[0], c.compression == Compression::None ? 'F' : 'C');
    if (c.compression == Compression::None) {
        EXPECT_EQ(file.fileLength, bytes.size());
    }
    EXPECT_EQ(file.fileLength, file.data.size());
    EXPECT_EQ(file.frameSize.xMax, TitleCard::stageWidth * 20);
    EXPECT_EQ(file.frameSize.yMax, TitleCard::stageHeight * 20);
    EXPECT_DOUBLE_EQ(file.frameRate, TitleCard::framesPerSecond);
    EXPECT_EQ(file.frameCount, TitleCard::frameCount);

    const auto &tags = file.tags;
    ASSERT_GE(tags.size(), 3u);
    EXPECT_EQ(tags.front().code, fileAttributes);
    EXPECT_EQ(tags.back().code, 0);
    EXPECT_EQ(std::count_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == showFrame; }),
              file.frameCount);

    // Background colour as given.
    const auto background = std::find_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == setBackgroundColor; });
    ASSERT_NE(background, tags.end());
    ASSERT_EQ(background->length, 3u);
    EXPECT_EQ(file.data[background->bodyOffset], colour.red());
    EXPECT_EQ(file.data[background->bodyOffset + 1], colour.green());
    EXPECT_EQ(file.data[background->bodyOffset + 2], colour.blue());

    // Every shape decodes to closed contours inside its declared bounds; the
    // title sits inside the stage when placed at its centre.
    int shapes = 0;
    for (const SwfTag &tag : tags) {
        if (tag.code != defineShape3)
            continue;
        ++shapes;
        const test::DecodedShape shape = test::decodeDefineShape3(file.data, tag.bodyOffset, tag.length);
        ASSERT_TRUE(shape.ok) << "shape " << shape.shapeId << ": " << shape.error;
        EXPECT_EQ(shape.openContours, 0) << "shape " << shape.shapeId;
        if (shape.moves == 0)
            continue;
        EXPECT_GE(shape.reach.xMin, shape.bounds.xMin);
        EXPECT_LE(shape.reach.xMax, shape.bounds.xMax);
        EXPECT_GE(shape.reach.yMin, shape.bounds.yMin);
        EXPECT_LE(shape.reach.yMax, shape.bounds.yMax);
        if (shape.shapeId == titleShapeId) {
            EXPECT_GE(shape.moves, c.minContours);
            EXPECT_LE(std::max(std::abs(shape.bounds.xMin), std::abs(shape.bounds.xMax)), TitleCard::stageWidth * 10);
            EXPECT_LE(std::max(std::abs(shape.bounds.yMin), std::abs(shape.bounds.yMax)), TitleCard::stageHeight * 10);
        }
    }
    EXPECT_EQ(shapes, 4);

    // The chime starts in the first frame only; the last frame loops back.
    const auto firstShow = std::find_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == showFrame; });
    const auto start = std::find_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == startSound; });
    const auto sound = std::find_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == defineSound; });
    if (c.withSound) {
        ASSERT_NE(sound, tags.end());
        EXPECT_LT(sound, start);
        EXPECT_LT(start, firstShow);
        EXPECT_EQ(std::count_if(tags.begin(), tags.end(), [](const SwfTag &t) { return t.code == startSound; }), 1);
        const std::uint32_t samples = static_cast<std::uint32_t>(readU16(file.data, sound->bodyOffset + 3))
                                    | (static_cast<std::uint32_t>(readU16(file.data, sound->bodyOffset + 5)) << 16);
        EXPECT_EQ(sound->length, 7 + 2 * samples);
    } else {
        EXPECT_EQ(sound, tags.end());
        EXPECT_EQ(start, tags.end());
    }
    ASSERT_GE(tags.size(), 3u);
    EXPECT_EQ(tags[tags.size() - 3].code, doAction);
    EXPECT_EQ(tags[tags.size() - 2].code, showFrame);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleCardFile,
    ::testing::Values(
        CardCase{"chinese", "做客歌", "#ffcc00", Compression::Zlib, true, 3},
        CardCase{"chineseUncompressed", "做客歌", "#ffcc00", Compression::None, true, 3},
        CardCase{"oneCharacter", "鹅", "#ff8844", Compression::Zlib, false, 1},
        CardCase{"apostropheAndSpaces", "韵律诗the cock's on the housestop", "#66aadd", Compression::None, true, 28},
        CardCase{"apostropheNoSpace", "天线let's count", "#cc6699", Compression::Zlib, true, 12},
        CardCase{"typographicApostrophe", "Grandma’s Glasses", "#3399cc", Compression::Zlib, true, 15},
        CardCase{"fullWidthPunctuation", "扫雷（用空格标记雷）", "#44bb66", Compression::Zlib, true, 10},
        CardCase{"dotInside", "宠物连连看2.5版", "#aa66cc", Compression::None, false, 9},
        CardCase{"blank", " ", "#000000", Compression::None, false, 0}),
    [](const ::testing::TestParamInfo<CardCase> &info) { return std::string(info.param.name); });

TEST(TitleCard, UsesTheNotoCjkFont)
{
    EXPECT_TRUE(TitleCard().fontFamily().startsWith(QLatin1String("Noto Sans CJK")))
        << TitleCard().fontFamily().toStdString() << " (install fonts-noto-cjk)";
}

TEST(TitleCard, NearTwinTitlesGiveDifferentOutlines)
{
    const TitleCard card;
    const QColor colour(0x33, 0x66, 0x99);
    const TitleCardOptions plain{Compression::None, false};
    const char *pairs[][2] = {{"宿建德江", "宿建得江"}, {"Good morning", "Good morning2"}, {"折纸狗", "折纸狗2"}};
    for (const auto &pair : pairs) {
        const SwfParseResult a = parseSwf(card.build(QString::fromUtf8(pair[0]), colour, plain));
        const SwfParseResult b = parseSwf(card.build(QString::fromUtf8(pair[1]), colour, plain));
        ASSERT_TRUE(a.ok && b.ok);
        EXPECT_NE(a.file.data, b.file.data) << pair[0];
    }
}

} // namespace
} // namespace kivora::swf
