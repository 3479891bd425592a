#pragma once

#include "platform/player/playerbackend.h"

#include <QLoggingCategory>
#include <QString>

namespace kivora {

// What the program handed the module at its initialisation, for the module's classes.
const PlayerModuleHost &moduleHost();
void setModuleHost(const PlayerModuleHost &host);

inline const QLoggingCategory &moduleLog()
{
    return moduleHost().log();
}

inline QString moduleAssetsRoot()
{
    return moduleHost().assetsRoot();
}

inline QString moduleFontFile(const QString &name)
{
    return moduleHost().fontFile(name);
}

} // namespace kivora
