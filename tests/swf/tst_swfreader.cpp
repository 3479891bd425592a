#include "tools/swf/swfmovie.h"
#include "tools/swf/swfreader.h"

#include <gtest/gtest.h>

#include <functional>

namespace kivora::swf {
namespace {

Bytes smallMovie(Compression compression)
{
    SwfMovie movie(Rect{0, 2000, 0, 1000}, 12.5);
    movie.addTag(TagCode::SetBackgroundColor, Bytes{1, 2, 3});
    movie.addTag(TagCode::DefineShape3, Bytes(100, 0xAA)); // long header
    movie.showFrame();
    movie.showFrame();
    return movie.serialize(compression);
}

void setLength(Bytes &bytes, std::uint32_t length)
{
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(length >> (8 * i));
}

TEST(SwfReader, ReadsHeaderAndTagsOfBothSignatures)
{
    for (Compression compression : {Compression::None, Compression::Zlib}) {
        const Bytes bytes = smallMovie(compression);
        const SwfParseResult result = parseSwf(bytes);
        ASSERT_TRUE(result.ok) << result.error;
        const SwfFile &file = result.file;
        EXPECT_EQ(file.signature[0], compression == Compression::None ? 'F' : 'C');
        EXPECT_EQ(file.version, 10);
        EXPECT_EQ(file.fileLength, file.data.size());
        EXPECT_EQ(file.frameSize.xMax, 2000);
        EXPECT_EQ(file.frameSize.yMax, 1000);
        EXPECT_DOUBLE_EQ(file.frameRate, 12.5);
        EXPECT_EQ(file.frameCount, 2);
        ASSERT_EQ(file.tags.size(), 5u);
        const std::uint16_t codes[] = {9, 32, 1, 1, 0};
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(file.tags[i].code, codes[i]);
        EXPECT_EQ(file.tags[1].length, 100u);
        EXPECT_EQ(file.data[file.tags[1].bodyOffset], 0xAA);
        EXPECT_EQ(file.data[file.tags[0].bodyOffset + 2], 3);
    }
    EXPECT_LT(smallMovie(Compression::Zlib).size(), smallMovie(Compression::None).size());
}

struct BrokenCase {
    const char *name;
    Compression compression;
    std::function<void(Bytes &)> damage;
};

class SwfReaderRejects : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(SwfReaderRejects, DamagedFiles)
{
    Bytes bytes = smallMovie(GetParam().compression);
    GetParam().damage(bytes);
    const SwfParseResult result = parseSwf(bytes);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwfReaderRejects,
    ::testing::Values(
        BrokenCase{"tooShort", Compression::None, [](Bytes &b) { b.resize(7); }},
        BrokenCase{"badSignature", Compression::None, [](Bytes &b) { b[0] = 'Z'; }},
        BrokenCase{"lengthTooLarge", Compression::None, [](Bytes &b) { setLength(b, static_cast<std::uint32_t>(b.size() + 1)); }},
        BrokenCase{"lengthTooSmall", Compression::None, [](Bytes &b) { setLength(b, static_cast<std::uint32_t>(b.size() - 1)); }},
        BrokenCase{"truncatedTag", Compression::None,
                   [](Bytes &b) {
                       b.resize(b.size() - 10);
                       setLength(b, static_cast<std::uint32_t>(b.size()));
                   }},
        BrokenCase{"noEnd", Compression::None,
                   [](Bytes &b) {
                       b.resize(b.size() - 2);
                       setLength(b, static_cast<std::uint32_t>(b.size()));
                   }},
        BrokenCase{"bytesAfterEnd", Compression::None,
                   [](Bytes &b) {
                       b.push_back(0);
                       b.push_back(0);
                       setLength(b, static_cast<std::uint32_t>(b.size()));
                   }},
        BrokenCase{"corruptZlib", Compression::Zlib, [](Bytes &b) { b.resize(b.size() / 2); }}),
    [](const ::testing::TestParamInfo<BrokenCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace kivora::swf
