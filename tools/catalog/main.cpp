// kivora-catalog: prints the whole catalog, one tab-separated line per title in
// display order: window class, window name, folder, position (1-based), title,
// local path relative to the program directory, streaming address, download address.
#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"
#include "catalog/serverhosts.h"

#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view usage =
    "Usage: kivora-catalog [--stream-host HOST[:PORT]] [--download-host HOST[:PORT]]\n"
    "Prints every title of the catalog as one tab-separated line, in display order:\n"
    "window class, window name, folder, position, title, local path (relative to the\n"
    "program directory), streaming address, download address.\n"
    "  --stream-host H    use H instead of the built-in streaming host\n"
    "  --download-host H  use H instead of the built-in download host\n"
    "  --help             show this text\n";

void printCatalog(std::string_view streamHost, std::string_view downloadHost)
{
    for (const auto& category : kivora::categories()) {
        int position = 0;
        for (const auto title : category.titles) {
            ++position;
            std::cout << category.windowClass << '\t' << category.windowName << '\t' << category.folder << '\t'
                      << position << '\t' << kivora::toUtf8(title) << '\t'
                      << kivora::toUtf8(kivora::localPath(u"", category.folder, title)) << '\t'
                      << kivora::toUtf8(kivora::contentAddress(streamHost, category.folder, title)) << '\t'
                      << kivora::toUtf8(kivora::contentAddress(downloadHost, category.folder, title)) << '\n';
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string_view streamHost = kivora::streamHost();
    std::string_view downloadHost = kivora::downloadHost();
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        }
        if (arg == "--stream-host" || arg == "--download-host") {
            if (i + 1 >= argc || std::string_view(argv[i + 1]).empty()) {
                std::cerr << "kivora-catalog: " << arg << " needs a host\n" << usage;
                return 2;
            }
            (arg == "--stream-host" ? streamHost : downloadHost) = argv[++i];
            continue;
        }
        std::cerr << "kivora-catalog: unknown option '" << arg << "'\n" << usage;
        return 2;
    }
    printCatalog(streamHost, downloadHost);
    return std::cout.flush() ? 0 : 1;
}
