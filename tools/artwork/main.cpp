// kivora-artwork OUTDIR: draws every picture of the program into OUTDIR,
// laid out as the assets folder expects (pictures/, icons/).

#include "tools/artwork/cartoon.h"
#include "tools/artwork/framepainter.h"
#include "tools/artwork/highlightmaker.h"
#include "tools/artwork/iconmaker.h"
#include "tools/artwork/imagewriter.h"
#include "tools/artwork/panelpainter.h"
#include "tools/artwork/scenepainter.h"
#include "tools/artwork/sitetable.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kivora-artwork OUTDIR\n");
        return 2;
    }
    if (!kivora::Cartoon::loadFonts()) {
        std::fprintf(stderr, "kivora-artwork: no Noto Sans CJK font found (install fonts-noto-cjk)\n");
        return 1;
    }

    try {
        kivora::ImageWriter out(QString::fromLocal8Bit(argv[1]));
        // Every picture twice: for ordinary screens, and as "name@2x" for screens of twice
        // the pixel density, where the program picks it.
        for (const qreal scale : {1.0, 2.0}) {
            const QString suffix = scale == 1.0 ? QString() : QStringLiteral("@2x");
            const auto named = [&suffix](const char *base, const char *extension) {
                return QStringLiteral("pictures/%1%2.%3").arg(QLatin1String(base), suffix, QLatin1String(extension));
            };
            out.png(named("frame", "png"), kivora::FramePainter::launcherFrame(scale), {845, 628});
            out.jpeg(named("scene", "jpg"), kivora::ScenePainter::render(scale), {702, 513});
            for (const kivora::Site &site : kivora::SiteTable::all()) {
                // The update site's picture is a loose file of the program directory.
                const QByteArray base = site.number == 5 ? QByteArray("10") : "highlight" + QByteArray::number(site.number);
                out.png(named(base.constData(), "png"), kivora::HighlightMaker::make(site, scale), site.picture.size());
            }
            out.png(named("category_background", "png"), kivora::FramePainter::categoryBackground(scale), {1200, 850});
            out.jpeg(named("category_panel", "jpg"), kivora::PanelPainter::render(scale), {996, 682});
        }
        out.bytes(QStringLiteral("icons/kivora.svg"), kivora::IconMaker::svg());
        for (const int size : {256, 48, 32, 24, 16})
            out.png(QStringLiteral("icons/kivora-%1.png").arg(size), kivora::IconMaker::render(size), {size, size});
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kivora-artwork: %s\n", error.what());
        return 1;
    }
    return EXIT_SUCCESS;
}
