#pragma once

#include <QPixmap>
#include <QString>

namespace kivora {

// Reads a PNG or JPEG picture file. Throws std::runtime_error with
// "Cannot open file "<path>". <reason>" when it cannot be read.
QPixmap loadPictureFile(const QString &path);

} // namespace kivora
