#pragma once

#include "platform/player/playeraddresses.h"

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

} // namespace kivora
