#include "catalogtool/catalogoptions.h"

#include "catalog/serverhosts.h"

#include <charconv>

namespace kivora::catalogtool {

const char *const usageText =
    "Usage: kivora-catalog [list] [--stream-host HOST[:PORT]] [--download-host HOST[:PORT]]\n"
    "       kivora-catalog fetch [--dir PROGRAM_DIR] [--jobs N] [--download-host HOST[:PORT]] FOLDER...|--all\n"
    "       kivora-catalog check [--dir PROGRAM_DIR] [--jobs N] [--download-host HOST[:PORT]] FOLDER...|--all\n"
    "\n"
    "list (the default) prints every title of the catalog as one tab-separated line, in\n"
    "display order: window class, window name, folder, position, title, local path\n"
    "(relative to the program directory), streaming address, download address.\n"
    "fetch downloads the titles of the named category folders (or of all of them) that\n"
    "the program directory lacks; stop it with Ctrl-C and run it again to continue.\n"
    "check asks the download server about every title and lists those it lacks, then\n"
    "counts the titles the program directory holds.\n"
    "fetch and check exit with status 1 when a title is missing.\n"
    "\n"
    "  --dir D            program directory that fetch fills and check counts (default: the\n"
    "                     current directory)\n"
    "  --all              every category\n"
    "  --jobs N           requests at once: 2 to 4 for fetch (default 4), 1 to 16 for check (default 8)\n"
    "  --stream-host H    use H instead of the built-in streaming host\n"
    "  --download-host H  use H instead of the built-in download host\n"
    "                     (a host is HOST[:PORT], with http:// or https:// before it to\n"
    "                     name the scheme; without, the built-in scheme)\n"
    "  --help             show this text\n";

namespace {

struct JobLimits
{
    int lowest;
    int highest;
    int standard;
};

JobLimits jobLimits(CatalogCommand command)
{
    if (command == CatalogCommand::Fetch)
        return {2, 4, 4};
    return {1, 16, 8};
}

bool parseNumber(const std::string &text, int &value)
{
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string> &arguments)
{
    ParsedOptions parsed;
    CatalogOptions &options = parsed.options;
    options.streamHost = std::string(streamHost());
    options.downloadHost = std::string(downloadHost());

    std::size_t i = 0;
    if (!arguments.empty()) {
        const std::string &first = arguments.front();
        if (first == "list" || first == "fetch" || first == "check") {
            options.command = first == "list" ? CatalogCommand::List
                              : first == "fetch" ? CatalogCommand::Fetch
                                                 : CatalogCommand::Check;
            ++i;
        }
    }
    const bool selectsTitles = options.command != CatalogCommand::List;
    const JobLimits limits = jobLimits(options.command);
    options.jobs = limits.standard;

    for (; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return parsed;
        }
        const bool takesValue = argument == "--stream-host" || argument == "--download-host"
                                || (selectsTitles && (argument == "--dir" || argument == "--jobs"));
        if (takesValue) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                parsed.error = argument + " needs a value";
                return parsed;
            }
            const std::string &value = arguments[++i];
            if (argument == "--stream-host")
                options.streamHost = value;
            else if (argument == "--download-host")
                options.downloadHost = value;
            else if (argument == "--dir")
                options.programDir = value;
            else if (!parseNumber(value, options.jobs) || options.jobs < limits.lowest || options.jobs > limits.highest) {
                parsed.error = "--jobs takes a number from " + std::to_string(limits.lowest) + " to "
                               + std::to_string(limits.highest);
                return parsed;
            }
            continue;
        }
        if (selectsTitles && argument == "--all") {
            options.all = true;
            continue;
        }
        if (argument.starts_with("-") || !selectsTitles) {
            parsed.error = "unknown option '" + argument + "'";
            return parsed;
        }
        options.folders.push_back(argument);
    }
    if (selectsTitles && options.all == !options.folders.empty())
        parsed.error = options.all ? "name category folders or --all, not both" : "name category folders or --all";
    return parsed;
}

} // namespace kivora::catalogtool
