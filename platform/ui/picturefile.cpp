#include "picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotOpen(path, file.errorString());

    // Eleven windows read the same two pictures at start-up: the file is read every time,
    // but bytes that were decoded before are not decoded again.
    struct Decoded
    {
        QByteArray bytes;
        QPixmap picture;
    };
    static QHash<QString, Decoded> lastDecoded;
    if (const auto known = lastDecoded.constFind(path); known != lastDecoded.constEnd() && known->bytes == bytes)
        return known->picture;

    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image = reader.read();
    if (image.isNull())
        cannotOpen(path, reader.errorString());
    QPixmap picture = QPixmap::fromImage(std::move(image));
    lastDecoded.insert(path, Decoded{bytes, picture});
    return picture;
}

} // namespace kivora
