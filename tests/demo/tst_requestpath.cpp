#include "tools/demo/requestpath.h"

#include <gtest/gtest.h>

namespace kivora::demo {
namespace {

struct PathCase {
    const char *name;
    const char *request;
    const char *expected; // relative to the root; nullptr when refused
};

class RequestPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(RequestPath, MapsInsideTheRootOrRefuses)
{
    const std::filesystem::path root = "/srv/content";
    const auto resolved = resolveRequestPath(root, GetParam().request);
    if (GetParam().expected == nullptr) {
        EXPECT_FALSE(resolved.has_value()) << resolved->string();
    } else {
        ASSERT_TRUE(resolved.has_value());
        EXPECT_EQ(*resolved, root / GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestPath,
    ::testing::Values(PathCase{"chinese", "/erger/做客歌.swf", "erger/做客歌.swf"},
                      PathCase{"spacesAndApostrophe", "/ywerger/韵律诗the cock's on the housestop.swf",
                               "ywerger/韵律诗the cock's on the housestop.swf"},
                      PathCase{"dotInsideTitle", "/wanyx/宠物连连看2.5版.swf", "wanyx/宠物连连看2.5版.swf"},
                      PathCase{"leadingDots", "/erger/..a.swf", "erger/..a.swf"},
                      PathCase{"nested", "/erge/update.txt", "erge/update.txt"},
                      PathCase{"root", "/", nullptr},
                      PathCase{"empty", "", nullptr},
                      PathCase{"relative", "erger/a.swf", nullptr},
                      PathCase{"parent", "/../etc/passwd", nullptr},
                      PathCase{"parentInside", "/erger/../../etc/passwd", nullptr},
                      PathCase{"dotSegment", "/erger/./a.swf", nullptr},
                      PathCase{"doubleSlash", "/erger//a.swf", nullptr},
                      PathCase{"absoluteAfterSlash", "//etc/passwd", nullptr},
                      PathCase{"trailingSlash", "/erger/", nullptr},
                      PathCase{"backslash", "/erger\\..\\x", nullptr}),
    [](const ::testing::TestParamInfo<PathCase> &info) { return std::string(info.param.name); });

TEST(RequestPath, RefusesNulBytes)
{
    EXPECT_FALSE(resolveRequestPath("/srv", std::string_view("/a\0b.swf", 8)).has_value());
}

} // namespace
} // namespace kivora::demo
