#pragma once

#include <QDir>
#include <QString>

class QImage;
class QByteArray;

namespace kivora {

// Writes the generated files, checking each picture's size, and throws on any failure.
class ImageWriter
{
public:
    explicit ImageWriter(const QString &outputDirectory);

    void png(const QString &relativePath, const QImage &image, const QSize &expected);
    void jpeg(const QString &relativePath, const QImage &image, const QSize &expected);
    void bytes(const QString &relativePath, const QByteArray &data);

private:
    QString prepare(const QString &relativePath);

    QDir m_root;
};

} // namespace kivora
