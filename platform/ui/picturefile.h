#pragma once

#include <QPixmap>
#include <QString>

namespace kivora {

// Reads a PNG or JPEG picture file. Throws std::runtime_error with
// "Cannot open file "<path>". <reason>" when it cannot be read. Must be called on the
// user-interface thread.
QPixmap loadPictureFile(const QString &path);

} // namespace kivora
