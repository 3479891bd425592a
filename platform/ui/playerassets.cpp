#include "platform/ui/playerassets.h"

#include <QFile>

namespace kivora {

namespace {

QString &assetsRoot()
{
    static QString root = QStringLiteral(":/kivora/player");
    return root;
}

QString origin()
{
    return QStringLiteral("%1://%2/").arg(QLatin1String(playerScheme), QLatin1String(playerHost));
}

} // namespace

QString playerAssetsRoot()
{
    return assetsRoot();
}

void setPlayerAssetsRoot(const QString &root)
{
    assetsRoot() = root;
}

bool playerAssetsPresent()
{
    const QString root = playerAssetsRoot();
    for (const char *file : {"index.html", "fetchshim.js", "player.js", "ruffle/ruffle.js"}) {
        if (!QFile::exists(root + QLatin1Char('/') + QLatin1String(file)))
            return false;
    }
    return true;
}

QString playerPageUrl()
{
    return playerAssetsPrefix() + QStringLiteral("index.html");
}

QString playerAssetsPrefix()
{
    return origin() + QStringLiteral("assets/");
}

QString playerFontsPrefix()
{
    return origin() + QStringLiteral("fonts/");
}

QString playerMoviePrefix()
{
    return origin() + QStringLiteral("movie/");
}

QString playerFontFile(const QString &name)
{
    // Debian's fonts-droid-fallback: one face that covers Chinese. Ruffle lays out every face
    // of a font it is given in memory; a CJK collection of ten faces (Noto's) would cost the
    // page half a gigabyte.
    if (name == QLatin1String("DroidSansFallbackFull.ttf"))
        return QStringLiteral("/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf");
    return {};
}

} // namespace kivora
