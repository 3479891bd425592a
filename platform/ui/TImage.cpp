#include "platform/ui/TImage.h"

#include "platform/ui/picturefile.h"

#include <QImageReader>
#include <QPainter>

namespace kivora {

TImage::TImage(QWidget *parent)
    : QWidget(parent)
{
}

void TImage::setPicture(const QPixmap &picture)
{
    m_builtInPath.clear();
    m_file.reset();
    m_picture = picture;
    fitToPicture(m_picture.deviceIndependentSize().toSize());
    update();
}

void TImage::setBuiltInPicture(const QString &path)
{
    m_picture = QPixmap();
    m_file.reset();
    m_builtInPath = path;
    // The header alone gives the size; a twin drawn at twice the density has the same one.
    fitToPicture(QImageReader(path).size());
    update();
}

void TImage::setPictureFile(const PictureFile &file)
{
    m_picture = QPixmap();
    m_builtInPath.clear();
    m_file = file;
    update();
}

const QPixmap &TImage::picture() const
{
    if (m_file) {
        m_picture = m_file->picture();
        m_file.reset();
    }
    if (!m_builtInPath.isEmpty()) {
        m_picture = loadEmbeddedPicture(m_builtInPath);
        m_builtInPath.clear();
    }
    return m_picture;
}

void TImage::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    fitToPicture(m_builtInPath.isEmpty() ? m_picture.deviceIndependentSize().toSize()
                                         : QImageReader(m_builtInPath).size());
}

void TImage::fitToPicture(QSize size)
{
    if (m_autoSize && size.isValid() && !size.isEmpty())
        resize(size);
}

void TImage::paintEvent(QPaintEvent *)
{
    const QPixmap &shown = picture();
    if (shown.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, shown);
}

} // namespace kivora
