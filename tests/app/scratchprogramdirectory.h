#pragma once

#include "tests/support/scratchfolder.h"

#include <QString>

namespace kivora {

// A temporary program directory for the running test; the real one comes back when it goes.
class ScratchProgramDirectory
{
public:
    ScratchProgramDirectory();
    ~ScratchProgramDirectory();

    ScratchProgramDirectory(const ScratchProgramDirectory &) = delete;
    ScratchProgramDirectory &operator=(const ScratchProgramDirectory &) = delete;

    bool isValid() const { return m_folder.isValid(); }
    // With a trailing '/', as the program forms its paths.
    QString path() const;
    QString filePath(const QString &name) const;

    // Writes `content` to `name`, replacing what was there.
    bool write(const QString &name, const QByteArray &content) const;
    // Copies a picture of the source tree's assets/pictures under `name`.
    bool copyPicture(const QString &picture, const QString &name) const;
    // The pictures an installed program directory holds: "10.png", "ipadmain3.png", "1003.jpg",
    // each with its "@2x" twin.
    bool layOutPictures() const;

private:
    test::ScratchFolder m_folder;
};

} // namespace kivora
