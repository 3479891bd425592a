#pragma once

#include "platform/player/ShockwaveFlash.h"

#include <QWidget>

namespace kivora::test {

// A window as a category window holds its player: filling it, shown.
struct PlayerWindow
{
    PlayerWindow()
    {
        window.resize(640, 480);
        player->setAlignClient();
        window.show();
    }
    QWidget window;
    ShockwaveFlash *player = new ShockwaveFlash(&window);
};

} // namespace kivora::test
