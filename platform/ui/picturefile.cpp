#include "platform/ui/picturefile.h"

#include "platform/ui/picturecompleteness.h"

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
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

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

struct Prefetched
{
    QByteArray bytes;
    QImage image;
};

// Pictures being decoded on other threads, by path; each is taken once.
QHash<QString, std::shared_future<Prefetched>> &prefetched()
{
    static QHash<QString, std::shared_future<Prefetched>> pending;
    return pending;
}

Prefetched readAndDecode(const QString &path);

// Pictures to decode in order, on a thread of their own.
struct PrefetchQueue
{
    struct Item
    {
        QString path;
        std::promise<Prefetched> result;
    };
    std::vector<Item> items;

    void run()
    {
        for (Item &item : items)
            item.result.set_value(readAndDecode(item.path));
    }
};

// Waited for at exit (a future of std::async waits when it goes), so that no thread
// decodes while the program ends.
std::vector<std::future<void>> &prefetchThreads()
{
    static std::vector<std::future<void>> threads;
    return threads;
}

Prefetched readAndDecode(const QString &path)
{
    Prefetched result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.bytes = file.readAll();
    QBuffer buffer(&result.bytes);
    buffer.open(QIODevice::ReadOnly);
    const QImage image = QImageReader(&buffer).read();
    // In the layout the pixmap keeps, so that taking it over costs no conversion.
    if (!image.isNull())
        result.image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                     : QImage::Format_RGB32);
    return result;
}

std::optional<QImage> takePrefetched(const QString &path, const QByteArray &bytes)
{
    const auto pending = prefetched().constFind(path);
    if (pending == prefetched().constEnd())
        return std::nullopt;
    Prefetched result = pending->get();
    prefetched().erase(pending);
    if (result.image.isNull() || result.bytes != bytes)
        return std::nullopt;
    return std::move(result.image);
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

    if (std::optional<QImage> ready = takePrefetched(path, bytes)) {
        QPixmap picture = QPixmap::fromImage(std::move(*ready));
        lastDecoded.insert(path, Decoded{bytes, picture});
        return picture;
    }

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

// The whole file. Opened by hand so that the box can give the system's own reason.
QByteArray readFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        cannotOpen(path, QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        cannotOpen(path, file.errorString());
    return bytes;
}

// The picture that bytes read from path give, or its twin on such a screen. The ordinary
// picture is decoded first even when the twin is drawn, so that a broken one is reported on
// every screen alike.
std::optional<QPixmap> pictureOf(const QString &path, const QByteArray &bytes, QString *error)
{
    std::optional<QPixmap> picture = decode(path, bytes, error);
    if (!picture)
        return std::nullopt;
    if (std::optional<QPixmap> twin = sharperTwin(path))
        return twin;
    return picture;
}

QPixmap pictureOrFailure(const QString &path, const QByteArray &bytes)
{
    QString error;
    std::optional<QPixmap> picture = pictureOf(path, bytes, &error);
    if (!picture)
        cannotOpen(path, error);
    return *picture;
}

} // namespace

QPixmap loadPictureFile(const QString &path)
{
    return pictureOrFailure(path, readFile(path));
}

struct PictureFile::Read
{
    QString path;
    QByteArray bytes;
    std::optional<QPixmap> picture;
};

PictureFile::PictureFile(std::shared_ptr<Read> read)
    : m_read(std::move(read))
{
}

PictureFile PictureFile::read(const QString &path)
{
    // Windows that read the same bytes share one decoding.
    static QHash<QString, std::weak_ptr<Read>> lastRead;
    const QByteArray bytes = readFile(path);
    if (const std::shared_ptr<Read> known = lastRead.value(path).lock(); known && known->bytes == bytes)
        return PictureFile(known);
    auto read = std::make_shared<Read>(Read{path, bytes, std::nullopt});
    if (!looksLikeCompletePicture(bytes))
        read->picture = pictureOrFailure(path, bytes);
    lastRead.insert(path, read);
    return PictureFile(read);
}

QPixmap PictureFile::picture() const
{
    if (!m_read->picture) {
        QString error;
        m_read->picture = pictureOf(m_read->path, m_read->bytes, &error);
        if (!m_read->picture) {
            qWarning().noquote() << "Cannot draw" << m_read->path + QStringLiteral(":") << error;
            m_read->picture = QPixmap();
        }
    }
    return *m_read->picture;
}

void prefetchPictures(const QStringList &paths)
{
    auto work = std::make_shared<PrefetchQueue>();
    for (const QString &path : paths) {
        QStringList files{path};
        if (sharperScreen())
            files.append(twinPath(path));
        for (const QString &file : files) {
            if (prefetched().contains(file))
                continue;
            std::promise<Prefetched> promise;
            prefetched().insert(file, promise.get_future().share());
            work->items.push_back({file, std::move(promise)});
        }
    }
    // On one thread, in the order asked for: the first paint waits for the first of them, and
    // more threads would take the cores that it and the window system need.
    if (!work->items.empty())
        prefetchThreads().push_back(std::async(std::launch::async, [work] { work->run(); }));
}

QPixmap loadEmbeddedPicture(const QString &path)
{
    if (std::optional<QPixmap> twin = sharperTwin(path))
        return *twin;
    if (prefetched().contains(path)) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            if (std::optional<QPixmap> picture = decode(path, file.readAll(), nullptr))
                return *picture;
        }
    }
    return QPixmap(path);
}

} // namespace kivora
