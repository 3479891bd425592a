#pragma once

#include <QString>

namespace kivora {

// The page's own origin, and the prefixes of the three kinds of address the page may read.
// Header-only: the program and the player module both use them.
inline constexpr char playerScheme[] = "kivora";
inline constexpr char playerHost[] = "player";

inline QString playerOrigin()
{
    return QStringLiteral("%1://%2/").arg(QLatin1String(playerScheme), QLatin1String(playerHost));
}

inline QString playerAssetsPrefix()
{
    return playerOrigin() + QStringLiteral("assets/");
}

inline QString playerPageUrl()
{
    return playerAssetsPrefix() + QStringLiteral("index.html");
}

inline QString playerFontsPrefix()
{
    return playerOrigin() + QStringLiteral("fonts/");
}

inline QString playerMoviePrefix()
{
    return playerOrigin() + QStringLiteral("movie/");
}

} // namespace kivora
