// kivora-demo-content: makes the title card of every catalog title that is
// not in the content cache yet.
//
//   kivora-catalog | kivora-demo-content --cache DIR
//   kivora-demo-content --cache DIR --listing FILE
//
// The listing has one title per line, tab-separated (window class, window
// name, folder, position, title, ...). Cards go to DIR/<folder>/<title>.swf.

#include "tools/demo/cataloglisting.h"
#include "tools/demo/categorycolour.h"
#include "tools/swf/savefile.h"
#include "tools/swf/titlecard.h"

#include <QColor>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::string cache;
    std::string listing;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view arg = argv[i];
        if (arg == "--cache")
            cache = argv[i + 1];
        else if (arg == "--listing")
            listing = argv[i + 1];
        else
            cache.clear();
    }
    if (cache.empty() || argc % 2 == 0) {
        std::fprintf(stderr, "usage: kivora-demo-content --cache DIR [--listing FILE]   (listing on stdin by default)\n");
        return 2;
    }
    std::ifstream file;
    if (!listing.empty()) {
        file.open(listing);
        if (!file) {
            std::fprintf(stderr, "kivora-demo-content: cannot read %s\n", listing.c_str());
            return 1;
        }
    }
    std::istream &in = listing.empty() ? std::cin : file;

    const kivora::swf::TitleCard card;
    int made = 0;
    int present = 0;
    int failed = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line == "\r")
            continue;
        const auto entry = kivora::demo::parseCatalogLine(line);
        if (!entry) {
            std::fprintf(stderr, "kivora-demo-content: skipped line: %s\n", line.c_str());
            ++failed;
            continue;
        }
        const std::filesystem::path target = kivora::demo::cardPath(cache, *entry);
        std::error_code error;
        if (std::filesystem::exists(target, error)) {
            ++present;
            continue;
        }
        const QColor colour = QColor::fromString(QString::fromStdString(kivora::demo::colourForFolder(entry->folder)));
        QString message;
        if (kivora::swf::saveFile(QString::fromStdString(target.string()),
                                  card.build(QString::fromStdString(entry->title), colour), &message)) {
            ++made;
        } else {
            std::fprintf(stderr, "kivora-demo-content: %s: %s\n", target.c_str(), qPrintable(message));
            ++failed;
        }
    }
    std::printf("kivora-demo-content: %d made, %d already there, %d failed\n", made, present, failed);
    return failed == 0 ? 0 : 1;
}
