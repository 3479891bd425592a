#include "platform/ui/TGauge.h"

#include <QPainter>

#include <algorithm>

namespace kivora {

TGauge::TGauge(QWidget *parent)
    : QWidget(parent)
{
}

void TGauge::setProgress(int value)
{
    const int clamped = std::clamp(value, MinValue, MaxValue);
    if (clamped == m_progress)
        return;
    m_progress = clamped;
    update();
}

int TGauge::percentDone() const
{
    return (m_progress - MinValue) * 100 / (MaxValue - MinValue);
}

QString TGauge::text() const
{
    return QStringLiteral("%1%").arg(percentDone());
}

void TGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, Qt::black);
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, QColor(0xc0, 0xc0, 0xc0));
    const int barWidth = inner.width() * percentDone() / 100;
    painter.fillRect(QRect(inner.topLeft(), QSize(barWidth, inner.height())), QColor(0x00, 0xff, 0x00));

    // The text inverts whatever lies beneath it, so it reads on the bar and beside it.
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(inner, Qt::AlignCenter, text());
}

} // namespace kivora
