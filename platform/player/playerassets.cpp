#include "platform/player/playerassets.h"

#include <QFile>

namespace kivora {

namespace {

QString &assetsRoot()
{
    static QString root = QStringLiteral(":/kivora/player");
    return root;
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

QString playerFontFile(const QString &name)
{
    // Droid Sans Fallback cut down to GB2312, carried with the page (assets/fonts). Ruffle keeps
    // every glyph of every face it is given in memory: the whole face cost the page tens of
    // megabytes more, and a CJK collection of ten faces (Noto's) half a gigabyte.
    if (name == QLatin1String("DroidSansFallbackGB2312.ttf"))
        return assetsRoot() + QStringLiteral("/fonts/") + name;
    return {};
}

} // namespace kivora
