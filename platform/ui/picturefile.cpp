#include "platform/ui/picturefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>

namespace kivora {

namespace {

constexpr qreal kTwinScale = 2.0;

[[noreturn]] void cannotOpen(const QString &path, const QString &reason)
{
    throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason).toStdString());
}

bool sharperScreen()
{
    return qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0;
}

// "dir/name.ext" -> "dir/name@2x.ext".
QString twinPath(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return suffix.isEmpty() ? stem + QStringLiteral("@2x") : stem + QStringLiteral("@2x.") + suffix;
}

// Decodes bytes once per path: eleven windows read the same two pictures at start-up, and
// the file is read every time, but bytes that were decoded before are not decoded again.
std::optional<QPixmap> decode(const QString &path, const QByteArray &bytes, QString *error)
{
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
    if (image.isNull()) {
        if (error)
            *error = reader.errorString();
        return std::nullopt;
    }
    QPixmap picture = QPixmap::fromImage(std::move(image));
    lastDecoded.insert(path, Decoded{bytes, picture});
    return picture;
}

// The twin drawn at twice the density, when the screen wants it and it can be read.
std::optional<QPixmap> sharperTwin(const QString &path)
{
    if (!sharperScreen())
        return std::nullopt;
    const QString twin = twinPath(path);
    QFile file(twin);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<QPixmap> picture = decode(twin, file.readAll(), nullptr);
    if (picture)
        picture->setDevicePixelRatio(kTwinScale);
    return picture;
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

    // The ordinary picture is read first even when the twin is drawn, so that a missing or
    // broken one is reported on every screen alike.
    QString error;
    std::optional<QPixmap> picture = decode(path, bytes, &error);
    if (!picture)
        cannotOpen(path, error);
    if (std::optional<QPixmap> twin = sharperTwin(path))
        return *twin;
    return *picture;
}

QPixmap loadEmbeddedPicture(const QString &path)
{
    if (std::optional<QPixmap> twin = sharperTwin(path))
        return *twin;
    return QPixmap(path);
}

} // namespace kivora
