#include "tools/artwork/panelpainter.h"

#include "tools/artwork/canvas.h"
#include "tools/artwork/cartoon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace kivora {

namespace {

void bunny(QPainter &p, QPointF at, qreal s)
{
    Cartoon::shadow(p, at + QPointF(0, s * 0.95), s * 0.9, s * 0.15);
    for (const int side : {-1, 1}) {
        p.save();
        p.translate(at + QPointF(side * s * 0.22, -s * 0.55));
        p.rotate(side * 12);
        Cartoon::ellipse(p, QPointF(0, -s * 0.45), s * 0.16, s * 0.5, Qt::white, 2.0);
        Cartoon::ellipse(p, QPointF(0, -s * 0.45), s * 0.07, s * 0.35, QColor(248, 187, 208), 0);
        p.restore();
    }
    Cartoon::ellipse(p, at + QPointF(0, s * 0.55), s * 0.6, s * 0.45, Qt::white, 2.0);
    Cartoon::ellipse(p, at, s * 0.5, s * 0.42, Qt::white, 2.0);
    Cartoon::face(p, at + QPointF(0, s * 0.02), s * 0.55);
    Cartoon::ellipse(p, at + QPointF(0, s * 0.08), s * 0.05, s * 0.04, QColor(240, 98, 146), 0);
}

void chick(QPainter &p, QPointF at, qreal s)
{
    Cartoon::shadow(p, at + QPointF(0, s * 0.55), s * 0.55, s * 0.1);
    Cartoon::ellipse(p, at, s * 0.5, s * 0.48, QColor(255, 235, 59), 2.0);
    QPainterPath wing;
    wing.addEllipse(QRectF(at.x() - s * 0.48, at.y() - s * 0.02, s * 0.3, s * 0.22));
    Cartoon::shape(p, wing, QColor(253, 216, 53), 1.5);
    QPainterPath beak;
    beak.moveTo(at + QPointF(s * 0.42, -s * 0.08));
    beak.lineTo(at + QPointF(s * 0.62, -s * 0.02));
    beak.lineTo(at + QPointF(s * 0.42, s * 0.06));
    beak.closeSubpath();
    Cartoon::shape(p, beak, QColor(255, 152, 0), 1.4);
    Cartoon::ellipse(p, at + QPointF(s * 0.22, -s * 0.15), s * 0.05, s * 0.06, Cartoon::ink(), 0);
    Cartoon::ellipse(p, at + QPointF(s * 0.2, s * 0.05), s * 0.08, s * 0.05, QColor(255, 138, 128, 170), 0);
    QPainterPath tuft;
    tuft.moveTo(at + QPointF(-s * 0.05, -s * 0.46));
    tuft.quadTo(at + QPointF(0, -s * 0.7), at + QPointF(s * 0.1, -s * 0.6));
    p.save();
    p.setPen(Cartoon::outline(2));
    p.drawPath(tuft);
    p.restore();
}

void butterfly(QPainter &p, QPointF at, qreal s, const QColor &colour)
{
    for (const int side : {-1, 1}) {
        Cartoon::ellipse(p, at + QPointF(side * s * 0.35, -s * 0.2), s * 0.35, s * 0.3, colour, 1.6);
        Cartoon::ellipse(p, at + QPointF(side * s * 0.28, s * 0.22), s * 0.24, s * 0.2, colour.lighter(120), 1.6);
    }
    Cartoon::ellipse(p, at, s * 0.08, s * 0.4, Cartoon::ink(), 0);
}

void hill(QPainter &p, qreal left, qreal right, qreal top, qreal base, const QColor &colour)
{
    QPainterPath path;
    path.moveTo(left, base + 200);
    path.lineTo(left, base);
    path.cubicTo(left + (right - left) * 0.25, top, left + (right - left) * 0.75, top, right, base);
    path.lineTo(right, base + 200);
    path.closeSubpath();
    Cartoon::shape(p, path, colour, 2.2);
}

} // namespace

QImage PanelPainter::render(qreal scale)
{
    QImage image = makeCanvas({996, 682}, scale, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 682);
    sky.setColorAt(0, QColor(129, 212, 250));
    sky.setColorAt(0.7, QColor(225, 245, 254));
    sky.setColorAt(1, QColor(240, 250, 255));
    p.fillRect(image.rect(), sky);

    // A soft rainbow over the meadow.
    const QColor bands[] = {QColor(239, 154, 154), QColor(255, 204, 128), QColor(255, 245, 157),
                            QColor(165, 214, 167), QColor(144, 202, 249), QColor(206, 147, 216)};
    p.save();
    for (int i = 0; i < 6; ++i) {
        const qreal r = 330 - i * 18;
        QPen pen(bands[i], 18);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawArc(QRectF(380 - r, 520 - r, 2 * r, 2 * r), 0, 180 * 16);
    }
    p.restore();

    const QPointF sun(92, 90);
    p.save();
    QPen rays(QColor(255, 213, 79), 7);
    rays.setCapStyle(Qt::RoundCap);
    p.setPen(rays);
    for (int i = 0; i < 12; ++i) {
        const qreal a = qDegreesToRadians(i * 30.0);
        p.drawLine(sun + QPointF(56 * qCos(a), 56 * qSin(a)), sun + QPointF(72 * qCos(a), 72 * qSin(a)));
    }
    p.restore();
    Cartoon::ellipse(p, sun, 46, 46, QColor(255, 224, 102), 3);
    Cartoon::face(p, sun + QPointF(0, 4), 40);

    for (const QRectF &cloud : {QRectF(220, 60, 150, 70), QRectF(520, 110, 130, 60), QRectF(760, 50, 170, 78),
                                QRectF(40, 250, 120, 54)})
        Cartoon::shape(p, Cartoon::cloud(cloud), Qt::white, 2.4);

    hill(p, -40, 560, 420, 560, QColor(174, 213, 129));
    hill(p, 380, 1040, 440, 580, QColor(156, 204, 101));
    hill(p, -60, 1060, 560, 640, QColor(139, 195, 74));

    const QList<std::pair<QPointF, QColor>> flowers = {
        {{60, 620}, QColor(240, 98, 146)},  {{140, 650}, QColor(255, 241, 118)}, {{250, 610}, QColor(186, 104, 200)},
        {{470, 640}, QColor(240, 98, 146)}, {{560, 600}, QColor(255, 241, 118)}, {{650, 655}, QColor(129, 212, 250)},
        {{720, 620}, QColor(240, 98, 146)}, {{330, 660}, QColor(255, 138, 101)}, {{870, 640}, QColor(255, 241, 118)},
    };
    for (const auto &[at, colour] : flowers)
        Cartoon::flower(p, at, 11, colour);

    Cartoon::roundTree(p, QPointF(610, 560), 120, QColor(76, 175, 80));
    bunny(p, QPointF(200, 520), 62);
    chick(p, QPointF(380, 575), 56);
    chick(p, QPointF(445, 590), 38);
    butterfly(p, QPointF(300, 300), 34, QColor(244, 143, 177));
    butterfly(p, QPointF(520, 260), 26, QColor(255, 204, 128));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace kivora
