#include "catalogtool/catalogoptions.h"

#include "catalog/serverhosts.h"

#include <gtest/gtest.h>

namespace kivora::catalogtool {
namespace {

TEST(CatalogOptionsTest, ListIsTheDefaultWithTheBuiltInHosts)
{
    for (const auto &arguments : {std::vector<std::string>{}, std::vector<std::string>{"list"}}) {
        const ParsedOptions parsed = parseOptions(arguments);
        EXPECT_TRUE(parsed.error.empty()) << parsed.error;
        EXPECT_EQ(parsed.options.command, CatalogCommand::List);
        EXPECT_EQ(parsed.options.streamHost, streamHost());
        EXPECT_EQ(parsed.options.downloadHost, downloadHost());
    }
}

TEST(CatalogOptionsTest, FetchAndCheckTakeADirectoryFoldersAndJobs)
{
    ParsedOptions parsed = parseOptions({"fetch", "--dir", "/opt/kivora", "--download-host", "h:1", "erger", "xgushi"});
    EXPECT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.command, CatalogCommand::Fetch);
    EXPECT_EQ(parsed.options.programDir, "/opt/kivora");
    EXPECT_EQ(parsed.options.downloadHost, "h:1");
    EXPECT_EQ(parsed.options.folders, (std::vector<std::string>{"erger", "xgushi"}));
    EXPECT_EQ(parsed.options.jobs, 4);

    parsed = parseOptions({"check", "--all", "--jobs", "16"});
    EXPECT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_EQ(parsed.options.command, CatalogCommand::Check);
    EXPECT_TRUE(parsed.options.all);
    EXPECT_EQ(parsed.options.programDir, ".");
    EXPECT_EQ(parsed.options.jobs, 16);
}

TEST(CatalogOptionsTest, RefusesWhatItCannotDo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"fetch"},                              // nothing chosen
        {"fetch", "--all", "erger"},            // both
        {"fetch", "--jobs", "1", "--all"},      // fewer than two transfers
        {"fetch", "--jobs", "5", "--all"},      // more than four
        {"fetch", "--jobs", "3x", "--all"},     // not a number
        {"check", "--jobs", "0", "--all"},      //
        {"check", "--dir"},                     // no value
        {"check", "--download-host", "", "--all"},
        {"list", "erger"},                      // list selects nothing
        {"--dir", "/tmp"},                      // nor takes a directory
        {"fetch", "--all", "--bogus"},
    };
    for (const auto &arguments : cases)
        EXPECT_FALSE(parseOptions(arguments).error.empty()) << testing::PrintToString(arguments);
}

} // namespace
} // namespace kivora::catalogtool
