#pragma once

#include <QImage>

namespace kivora {

// The tablet frames around the launcher's island and the category windows' panel.
class FramePainter
{
public:
    static QImage launcherFrame(qreal scale);      // 845 x 628 logical
    static QImage categoryBackground(qreal scale); // 1200 x 850 logical
};

} // namespace kivora
