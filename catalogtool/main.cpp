// kivora-catalog: the catalog for whoever prepares a machine. Lists the titles, fills
// the program directory's category folders from the download server for offline use,
// and checks that the server has every title.
#include "catalogtool/catalogoptions.h"
#include "catalogtool/checkcommand.h"
#include "catalogtool/fetchcommand.h"
#include "catalogtool/listcommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    using namespace kivora::catalogtool;
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << "kivora-catalog: " << parsed.error << '\n' << usageText;
        return 2;
    }
    const CatalogOptions &options = parsed.options;
    if (options.help) {
        std::cout << usageText;
        return 0;
    }
    switch (options.command) {
    case CatalogCommand::Fetch:
        return runFetch(options);
    case CatalogCommand::Check:
        return runCheck(options);
    case CatalogCommand::List:
        break;
    }
    return runList(options.streamHost, options.downloadHost);
}
