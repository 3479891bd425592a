#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

namespace kivora {

// Reads a PNG or JPEG picture file. Throws std::runtime_error with
// "Cannot open file "<path>". <reason>" when it cannot be read. On a screen of more than
// one device pixel per logical pixel, a readable "name@2x.ext" beside it is drawn instead,
// at the same logical size. Must be called on the user-interface thread.
QPixmap loadPictureFile(const QString &path);

// Starts decoding these pictures, files or embedded (and their twins, on such a screen), on
// other threads, so that loading them finds them decoded when the bytes it reads are the same. Start-up
// reads its pictures one window after another; decoding them meanwhile is most of its cost.
// Must be called on the user-interface thread.
void prefetchPictures(const QStringList &paths);

// An embedded picture (":/pictures/..."), from its "@2x" twin on such a screen.
QPixmap loadEmbeddedPicture(const QString &path);

} // namespace kivora
