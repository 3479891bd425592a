// kivora-swf: writes title-card SWF files.
//
//   kivora-swf --title "做客歌" --colour "#ffcc00" --out file.swf
//   kivora-swf --batch < lines      (each line: title<TAB>colour<TAB>outfile)
//
// Options: --uncompressed (FWS instead of CWS), --no-sound, --skip-existing.

#include "tools/swf/savefile.h"
#include "tools/swf/titlecard.h"

#include <QColor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

struct Arguments {
    QString title;
    QString colour;
    QString out;
    bool batch = false;
    bool skipExisting = false;
    kivora::swf::TitleCardOptions options;
};

void printUsage()
{
    std::fprintf(stderr,
                 "usage: kivora-swf --title TITLE --colour COLOUR --out FILE [options]\n"
                 "       kivora-swf --batch [options] < lines   (title<TAB>colour<TAB>outfile)\n"
                 "options: --uncompressed  --no-sound  --skip-existing\n");
}

bool parseArguments(const QStringList &args, Arguments &parsed)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        auto value = [&args, &i](QString &target) {
            if (i + 1 >= args.size())
                return false;
            target = args.at(++i);
            return true;
        };
        if (arg == QLatin1String("--title")) {
            if (!value(parsed.title))
                return false;
        } else if (arg == QLatin1String("--colour") || arg == QLatin1String("--color")) {
            if (!value(parsed.colour))
                return false;
        } else if (arg == QLatin1String("--out")) {
            if (!value(parsed.out))
                return false;
        } else if (arg == QLatin1String("--batch")) {
            parsed.batch = true;
        } else if (arg == QLatin1String("--uncompressed")) {
            parsed.options.compression = kivora::swf::Compression::None;
        } else if (arg == QLatin1String("--no-sound")) {
            parsed.options.withSound = false;
        } else if (arg == QLatin1String("--skip-existing")) {
            parsed.skipExisting = true;
        } else {
            return false;
        }
    }
    return parsed.batch || (!parsed.title.isEmpty() && !parsed.colour.isEmpty() && !parsed.out.isEmpty());
}

bool makeCard(const kivora::swf::TitleCard &card, const QString &title, const QString &colourName, const QString &out,
              const Arguments &arguments)
{
    const QColor colour = QColor::fromString(colourName);
    if (!colour.isValid()) {
        std::fprintf(stderr, "kivora-swf: invalid colour \"%s\" for %s\n", qPrintable(colourName), qPrintable(out));
        return false;
    }
    if (title.isEmpty()) {
        std::fprintf(stderr, "kivora-swf: empty title for %s\n", qPrintable(out));
        return false;
    }
    if (arguments.skipExisting && QFileInfo::exists(out))
        return true;
    QString error;
    if (!kivora::swf::saveFile(out, card.build(title, colour, arguments.options), &error)) {
        std::fprintf(stderr, "kivora-swf: cannot write %s: %s\n", qPrintable(out), qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Font outlines need a GUI application but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    Arguments arguments;
    if (!parseArguments(QGuiApplication::arguments(), arguments)) {
        printUsage();
        return 2;
    }
    const kivora::swf::TitleCard card;
    if (!card.fontFamily().contains(QLatin1String("CJK")))
        std::fprintf(stderr, "kivora-swf: warning: no Noto CJK font, using %s\n", qPrintable(card.fontFamily()));

    if (!arguments.batch)
        return makeCard(card, arguments.title, arguments.colour, arguments.out, arguments) ? 0 : 1;

    int failures = 0;
    int written = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() != 3) {
            std::fprintf(stderr, "kivora-swf: expected title<TAB>colour<TAB>outfile: %s\n", line.c_str());
            ++failures;
            continue;
        }
        if (makeCard(card, fields.at(0), fields.at(1), fields.at(2), arguments))
            ++written;
        else
            ++failures;
    }
    std::fprintf(stderr, "kivora-swf: %d done, %d failed\n", written, failures);
    return failures == 0 ? 0 : 1;
}
