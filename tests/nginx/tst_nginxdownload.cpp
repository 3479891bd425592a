#include "catalog/contentaddress.h"
#include "platform/net/urldownload.h"
#include "tests/nginx/nginxserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>

namespace kivora {
namespace {

std::filesystem::path underFolder(const std::filesystem::path &folder, std::u16string_view relative)
{
    return folder / std::filesystem::path(std::u16string(relative));
}

struct TitleCase
{
    const char *name;
    const char *folder;
    std::u16string_view title;
    const char *requestPath; // as it must reach the server
};

// The download server's side of a title's URL-to-file download: nginx finds the file from
// the address the program sends, whatever the title's characters.
class NginxDownload : public ::testing::TestWithParam<TitleCase>
{
protected:
    void SetUp() override
    {
        const std::string reason = test::NginxServer::unavailableReason();
        if (!reason.empty())
            GTEST_SKIP() << reason;
    }

    test::ScratchFolder m_content;
    test::ScratchFolder m_program;
};

TEST_P(NginxDownload, StoresTheTitleUnderItsOwnName)
{
    const TitleCase &c = GetParam();
    const std::string body = test::varyingBytes(3 * 1024 * 1024 + 17, 0);
    const std::u16string relative = std::u16string(c.folder, c.folder + std::char_traits<char>::length(c.folder))
                                    + u"/" + std::u16string(c.title) + u".swf";
    test::writeFile(underFolder(m_content.path(), relative), body);
    test::NginxServer server(m_content.path());
    ASSERT_TRUE(server.start()) << server.error();

    const std::u16string programDir = m_program.path().u16string() + u"/";
    const std::u16string destination = localPath(programDir, c.folder, c.title);
    std::filesystem::create_directories(m_program.path() / c.folder);
    ASSERT_EQ(URLDownloadToFile(nullptr, contentAddress(server.host(), c.folder, c.title), destination, 0, nullptr),
              S_OK)
        << server.accessLog();

    EXPECT_EQ(test::readFile(std::filesystem::path(destination)), body);
    EXPECT_EQ(m_program.entries(), (std::set<std::string>{c.folder}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_program.path() / c.folder), {}), 1);
    EXPECT_TRUE(server.logged(std::string("GET ") + c.requestPath + " 200")) << server.accessLog();
}

INSTANTIATE_TEST_SUITE_P(
    Titles, NginxDownload,
    ::testing::Values(TitleCase{"chinese", "erger", u"做客歌", "/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf"},
                      TitleCase{"spaces_and_apostrophe", "ywerger", u"韵律诗the cock's on the housestop",
                                "/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock%27s%20on%20the%20housestop.swf"},
                      TitleCase{"ascii", "pinyin", u"a o e", "/pinyin/a%20o%20e.swf"}),
    [](const ::testing::TestParamInfo<TitleCase> &info) { return std::string(info.param.name); });

TEST(NginxMissingTitle, FailsAndLeavesNothing)
{
    const std::string reason = test::NginxServer::unavailableReason();
    if (!reason.empty())
        GTEST_SKIP() << reason;
    test::ScratchFolder content;
    test::ScratchFolder program;
    test::NginxServer server(content.path());
    ASSERT_TRUE(server.start()) << server.error();

    std::filesystem::create_directories(program.path() / "erger");
    const std::u16string destination = localPath(program.path().u16string() + u"/", "erger", u"小星星");
    EXPECT_NE(URLDownloadToFile(nullptr, contentAddress(server.host(), "erger", u"小星星"), destination, 0, nullptr),
              S_OK);
    EXPECT_TRUE(std::filesystem::is_empty(program.path() / "erger"));
    EXPECT_TRUE(server.logged("GET /erger/%E5%B0%8F%E6%98%9F%E6%98%9F.swf 404")) << server.accessLog();
}

} // namespace
} // namespace kivora
