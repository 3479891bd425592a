#include "picturefile.h"

#include <QFile>
#include <QImageReader>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kivora {

namespace {

[[noreturn]] void cannotOpen(const QString &path, const QString &reason)
{
    throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason).toStdString());
}

} // namespace

QPixmap loadPictureFile(const QString &path)
{
    // Opened by hand so that the box can give the system's own reason.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        cannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull())
        cannotOpen(path, reader.errorString());
    return QPixmap::fromImage(std::move(image));
}

} // namespace kivora
