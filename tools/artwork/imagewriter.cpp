#include "tools/artwork/imagewriter.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <stdexcept>

namespace kivora {

namespace {

// `expected` is logical: a picture drawn at scale 2 has twice as many pixels each way.
void checkSize(const QString &name, const QImage &image, const QSize &expected)
{
    if (image.size() != expected * image.devicePixelRatio())
        throw std::runtime_error(QStringLiteral("%1 has the wrong size").arg(name).toStdString());
}

} // namespace

ImageWriter::ImageWriter(const QString &outputDirectory)
    : m_root(outputDirectory)
{
}

QString ImageWriter::prepare(const QString &relativePath)
{
    const QString path = m_root.filePath(relativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw std::runtime_error(QStringLiteral("cannot create the folder of %1").arg(path).toStdString());
    return path;
}

void ImageWriter::png(const QString &relativePath, const QImage &image, const QSize &expected)
{
    checkSize(relativePath, image, expected);
    QImageWriter writer(prepare(relativePath), "png");
    // For PNG the quality chooses the zlib level: 0 packs the committed files tightest.
    writer.setQuality(0);
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32)))
        throw std::runtime_error(writer.errorString().toStdString());
}

void ImageWriter::jpeg(const QString &relativePath, const QImage &image, const QSize &expected)
{
    checkSize(relativePath, image, expected);
    QImageWriter writer(prepare(relativePath), "jpeg");
    writer.setQuality(92);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32)))
        throw std::runtime_error(writer.errorString().toStdString());
}

void ImageWriter::bytes(const QString &relativePath, const QByteArray &data)
{
    QFile file(prepare(relativePath));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        throw std::runtime_error(file.errorString().toStdString());
}

} // namespace kivora
