#pragma once

#include <QImage>

namespace kivora {

// The tablet frames around the launcher's island and the category windows' panel.
class FramePainter
{
public:
    static QImage launcherFrame();      // 845 x 628
    static QImage categoryBackground(); // 1200 x 850
};

} // namespace kivora
