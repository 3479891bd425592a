#pragma once

#include <string>
#include <vector>

namespace kivora::catalogtool {

enum class CatalogCommand { List, Fetch, Check };

// What the command line asks for. Hosts are "host" or "host:port".
struct CatalogOptions
{
    CatalogCommand command = CatalogCommand::List;
    std::string streamHost;
    std::string downloadHost;
    std::string programDir = ".";
    std::vector<std::string> folders;
    bool all = false;
    // Requests at once: transfers for fetch, questions for check.
    int jobs = 0;
    bool help = false;
};

struct ParsedOptions
{
    CatalogOptions options;
    // Empty when the command line was understood.
    std::string error;
};

// Reads `kivora-catalog [list|fetch|check] [options] [FOLDER...]`. The hosts start as
// the built-in ones.
ParsedOptions parseOptions(const std::vector<std::string> &arguments);

extern const char *const usageText;

} // namespace kivora::catalogtool
