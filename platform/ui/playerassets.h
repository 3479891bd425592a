#pragma once

#include <QString>

namespace kivora {

// Where the player page and Ruffle live: ":/kivora/player" (embedded) unless a test points
// the player elsewhere to simulate missing assets.
QString playerAssetsRoot();
void setPlayerAssetsRoot(const QString &root);

// The files the page cannot work without. Cheap: only looks the files up.
bool playerAssetsPresent();

// The font file the page may read under name, or "" for a name it may not read.
QString playerFontFile(const QString &name);

// The URL of the page and the prefixes of the three kinds of address the page may read.
inline constexpr char playerScheme[] = "kivora";
inline constexpr char playerHost[] = "player";
QString playerPageUrl();
QString playerAssetsPrefix();
QString playerFontsPrefix();
QString playerMoviePrefix();

} // namespace kivora
