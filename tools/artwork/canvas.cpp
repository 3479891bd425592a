#include "tools/artwork/canvas.h"

namespace kivora {

QImage makeCanvas(QSize logical, qreal scale, QImage::Format format)
{
    QImage image(logical * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

} // namespace kivora
