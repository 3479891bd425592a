#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace kivora {

// Reads a PNG or JPEG picture file. Throws std::runtime_error with
// "Cannot open file "<path>". <reason>" when it cannot be read. On a screen of more than
// one device pixel per logical pixel, a readable "name@2x.ext" beside it is drawn instead,
// at the same logical size. Must be called on the user-interface thread.
QPixmap loadPictureFile(const QString &path);

// A picture file, read now and decoded when first drawn: the eleven category windows are
// made at start-up, before the launcher shows, and seldom shown soon after. Reading fails as
// loadPictureFile does for a file that cannot be read or holds no whole picture (those are
// decoded at once, for the reason); only a whole PNG or JPEG waits.
class PictureFile
{
public:
    // Throws std::runtime_error as loadPictureFile does. User-interface thread only.
    static PictureFile read(const QString &path);

    // As loadPictureFile gives it (the twin on such a screen); decoded once, by whichever
    // window asks first. Null when the file's data turns out broken after all.
    QPixmap picture() const;

private:
    struct Read;
    explicit PictureFile(std::shared_ptr<Read> read);
    std::shared_ptr<Read> m_read;
};

// Starts decoding these pictures, files or embedded (and their twins, on such a screen), on
// another thread, so that loading them finds them decoded when the bytes it reads are the
// same. Give them in the order they are needed. Must be called on the user-interface thread.
void prefetchPictures(const QStringList &paths);

// An embedded picture (":/pictures/..."), from its "@2x" twin on such a screen.
QPixmap loadEmbeddedPicture(const QString &path);

} // namespace kivora
