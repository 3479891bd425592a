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

} // namespace kivora
