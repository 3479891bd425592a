#pragma once

#include <QByteArray>
#include <QImage>

namespace kivora {

// The application icon: a sunny island on a little orange tablet. Drawn as SVG
// so the scalable file and every bitmap size come from one description.
class IconMaker
{
public:
    static QByteArray svg();
    static QImage render(int size);

private:
    static QByteArray smallSvg();
};

} // namespace kivora
