#include "platform/ui/TImage.h"

#include <QPainter>

namespace kivora {

TImage::TImage(QWidget *parent)
    : QWidget(parent)
{
}

void TImage::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.deviceIndependentSize().toSize());
    update();
}

void TImage::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (m_autoSize && !m_picture.isNull())
        resize(m_picture.deviceIndependentSize().toSize());
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

} // namespace kivora
