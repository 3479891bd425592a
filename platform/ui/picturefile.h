#pragma once

#include <QPixmap>
#include <QString>

namespace kivora {

// Reads a PNG or JPEG picture file. Throws std::runtime_error with
// "Cannot open file "<path>". <reason>" when it cannot be read. On a screen of more than
// one device pixel per logical pixel, a readable "name@2x.ext" beside it is drawn instead,
// at the same logical size. Must be called on the user-interface thread.
QPixmap loadPictureFile(const QString &path);

// An embedded picture (":/pictures/..."), from its "@2x" twin on such a screen.
QPixmap loadEmbeddedPicture(const QString &path);

} // namespace kivora
