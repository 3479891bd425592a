#pragma once

#include <QString>
#include <QTemporaryDir>

namespace kivora {

// A temporary program directory for the running test; the real one comes back when it goes.
class ScratchProgramDirectory
{
public:
    ScratchProgramDirectory();
    ~ScratchProgramDirectory();

    ScratchProgramDirectory(const ScratchProgramDirectory &) = delete;
    ScratchProgramDirectory &operator=(const ScratchProgramDirectory &) = delete;

    bool isValid() const { return m_directory.isValid(); }
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
    QTemporaryDir m_directory;
};

} // namespace kivora
