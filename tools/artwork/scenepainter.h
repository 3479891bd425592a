#pragma once

#include <QImage>

class QPainter;

namespace kivora {

// The island scene of the launcher's screen, 702 x 513, with all twelve sites.
class ScenePainter
{
public:
    static QImage render(qreal scale);

private:
    static void sky(QPainter &painter);
    static void sea(QPainter &painter);
    static void island(QPainter &painter);
    static void decorations(QPainter &painter);
};

} // namespace kivora
