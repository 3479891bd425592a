#pragma once

#include <QImage>
#include <QSize>

namespace kivora {

// A blank picture of `logical` size drawn at `scale` device pixels per unit: a painter on
// it works in logical units, so one drawing serves every scale.
QImage makeCanvas(QSize logical, qreal scale, QImage::Format format);

} // namespace kivora
