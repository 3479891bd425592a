#include "platform/ui/TImage.h"

#include "platform/ui/picturecompleteness.h"
#include "platform/ui/picturefile.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>

namespace kivora {

namespace {

// The size a built-in picture's header gives (a twin drawn at twice the density has the
// same one). A PNG's is read directly: the toolkit's reader sets up a decoder for it, and the
// launcher sizes a dozen hot-spot pictures at start-up.
QSize builtInPictureSize(const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        if (const QSize size = pngHeaderSize(file.read(24)); size.isValid())
            return size;
    }
    return QImageReader(path).size();
}

} // namespace

TImage::TImage(QWidget *parent)
    : QWidget(parent)
{
}

void TImage::setPicture(const QPixmap &picture)
{
    m_builtInPath.clear();
    m_file.reset();
    m_picture = picture;
    fitToPicture();
    update();
}

void TImage::setBuiltInPicture(const QString &path)
{
    m_picture = QPixmap();
    m_file.reset();
    m_builtInPath = path;
    fitToPicture();
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
    fitToPicture();
}

void TImage::fitToPicture()
{
    if (!m_autoSize)
        return;
    // Only a control that sizes itself reads a built-in picture's header: the first reading
    // of a picture format loads the toolkit's decoder for it.
    const QSize size = m_builtInPath.isEmpty() ? m_picture.deviceIndependentSize().toSize()
                                               : builtInPictureSize(m_builtInPath);
    if (size.isValid() && !size.isEmpty())
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
