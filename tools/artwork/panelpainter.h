#pragma once

#include <QImage>

namespace kivora {

// The picture beside a category window's title list: a soft meadow under a
// rainbow, with small animals, kept to the left where the list never covers it.
class PanelPainter
{
public:
    static QImage render(qreal scale); // 996 x 682 logical
};

} // namespace kivora
