#include "tools/artwork/sitepainter.h"

#include "tools/artwork/cartoon.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace kivora {

namespace {

void letterBlock(QPainter &painter, const QRectF &face, const QColor &colour, const QString &letter)
{
    const qreal depth = face.width() * 0.18;
    QPainterPath top;
    top.moveTo(face.topLeft());
    top.lineTo(face.left() + depth, face.top() - depth);
    top.lineTo(face.right() + depth, face.top() - depth);
    top.lineTo(face.topRight());
    top.closeSubpath();
    QPainterPath side;
    side.moveTo(face.topRight());
    side.lineTo(face.right() + depth, face.top() - depth);
    side.lineTo(face.right() + depth, face.bottom() - depth);
    side.lineTo(face.bottomRight());
    side.closeSubpath();
    Cartoon::shape(painter, top, colour.lighter(135), 1.6);
    Cartoon::shape(painter, side, colour.darker(125), 1.6);
    Cartoon::box(painter, face, 3, colour, 1.8);
    Cartoon::box(painter, face.adjusted(3, 3, -3, -3), 2, colour.lighter(112), 0);
    Cartoon::text(painter, face.adjusted(0, 1, 0, 0), letter, face.height() * 0.78, Qt::white, Cartoon::ink(), 3.0);
}

void strokeLine(QPainter &painter, QPointF a, QPointF b, const QColor &colour, qreal width)
{
    painter.save();
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.drawLine(a, b);
    painter.restore();
}

QPainterPath rotatedRect(const QRectF &rect, QPointF pivot, qreal degrees)
{
    QPainterPath path;
    path.addRoundedRect(rect, 1.5, 1.5);
    QTransform t;
    t.translate(pivot.x(), pivot.y());
    t.rotate(degrees);
    t.translate(-pivot.x(), -pivot.y());
    return t.map(path);
}

void crayon(QPainter &painter, QPointF tip, qreal length, qreal degrees, const QColor &colour)
{
    painter.save();
    painter.translate(tip);
    painter.rotate(degrees);
    const qreal w = 9;
    QPainterPath body;
    body.moveTo(0, 0);
    body.lineTo(w / 2, 9);
    body.lineTo(w / 2, length);
    body.lineTo(-w / 2, length);
    body.lineTo(-w / 2, 9);
    body.closeSubpath();
    Cartoon::shape(painter, body, colour, 1.5);
    Cartoon::box(painter, QRectF(-w / 2, 14, w, length * 0.45), 0, colour.lighter(150), 1.2);
    QPainterPath point;
    point.moveTo(0, 0);
    point.lineTo(w * 0.22, 3.5);
    point.lineTo(-w * 0.22, 3.5);
    point.closeSubpath();
    Cartoon::shape(painter, point, colour.darker(130), 0);
    painter.restore();
}

} // namespace

void SitePainter::paint(QPainter &painter, int site, const QRectF &box)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    switch (site) {
    case 3: storyHouse(painter); break;
    case 4: school(painter); break;
    case 5: lighthouse(painter); break;
    case 6: pavilion(painter); break;
    case 7: songCloud(painter); break;
    case 8: scroll(painter); break;
    case 9: pinyinBlocks(painter); break;
    case 10: globeBalloon(painter); break;
    case 11: bulbAndMicroscope(painter); break;
    case 12: abcTower(painter); break;
    case 13: gamePad(painter); break;
    case 14: puzzleAndCrayons(painter); break;
    default: break;
    }
    painter.restore();
}

// 105 x 115: a cottage whose roof is an open picture book.
void SitePainter::storyHouse(QPainter &p)
{
    Cartoon::shadow(p, QPointF(53, 104), 46, 7);
    Cartoon::box(p, QRectF(20, 52, 66, 50), 3, QColor(255, 236, 179));
    Cartoon::box(p, QRectF(43, 70, 20, 32), 9, QColor(141, 110, 99));
    Cartoon::ellipse(p, QPointF(58, 87), 1.8, 1.8, QColor(255, 213, 79), 1.0);
    for (const qreal x : {25.0, 67.0}) {
        Cartoon::box(p, QRectF(x, 62, 14, 14), 2, QColor(129, 212, 250));
        strokeLine(p, QPointF(x + 7, 62), QPointF(x + 7, 76), Cartoon::ink(), 1.4);
        strokeLine(p, QPointF(x, 69), QPointF(x + 14, 69), Cartoon::ink(), 1.4);
    }
    Cartoon::flower(p, QPointF(26, 98), 5, QColor(240, 98, 146));
    Cartoon::flower(p, QPointF(80, 98), 5, QColor(186, 104, 200));

    // The roof: a book opened over the house, pages spread like a tent.
    const QPointF spine(53, 12);
    const qreal length = 60;
    const qreal angle = 38;
    p.save();
    p.translate(spine);
    for (const int side : {-1, 1}) {
        p.save();
        p.rotate(side * -angle);
        const QRectF cover = side > 0 ? QRectF(-length, 0, length, 12) : QRectF(0, 0, length, 12);
        Cartoon::box(p, cover.adjusted(-2, 3, side > 0 ? 0 : 2, 4), 3, QColor(229, 57, 53));
        Cartoon::box(p, cover, 2, QColor(255, 253, 240));
        for (int line = 0; line < 3; ++line) {
            const qreal y = 3.2 + line * 2.8;
            const qreal start = side > 0 ? -length + 6 : 6;
            strokeLine(p, QPointF(start, y), QPointF(start + length - 16, y), QColor(144, 164, 174), 1.1);
        }
        p.restore();
    }
    p.restore();
    // A ribbon bookmark hanging from the spine, and a tiny star on top.
    QPainterPath ribbon;
    ribbon.moveTo(51, 18);
    ribbon.lineTo(56, 18);
    ribbon.lineTo(56, 36);
    ribbon.lineTo(53.5, 33);
    ribbon.lineTo(51, 36);
    ribbon.closeSubpath();
    Cartoon::shape(p, ribbon, QColor(255, 202, 40), 1.2);
    Cartoon::shape(p, Cartoon::star(QPointF(53, 7), 6, 2.6), QColor(255, 214, 0), 1.2);
}

// 98 x 86: a small schoolhouse with a flag, and a calligraphy brush beside it.
void SitePainter::school(QPainter &p)
{
    Cartoon::shadow(p, QPointF(48, 77), 44, 6);
    strokeLine(p, QPointF(41, 22), QPointF(41, 4), Cartoon::ink(), 1.8);
    QPainterPath flag;
    flag.moveTo(42, 4);
    flag.lineTo(57, 8);
    flag.lineTo(42, 13);
    flag.closeSubpath();
    Cartoon::shape(p, flag, QColor(244, 67, 54), 1.4);
    Cartoon::box(p, QRectF(10, 38, 62, 38), 2, QColor(255, 204, 128));
    QPainterPath roof;
    roof.moveTo(4, 41);
    roof.lineTo(41, 16);
    roof.lineTo(78, 41);
    roof.closeSubpath();
    Cartoon::shape(p, roof, QColor(239, 83, 80));
    Cartoon::ellipse(p, QPointF(41, 31), 6, 6, Qt::white, 1.5);
    strokeLine(p, QPointF(41, 31), QPointF(41, 27), Cartoon::ink(), 1.2);
    strokeLine(p, QPointF(41, 31), QPointF(44, 31), Cartoon::ink(), 1.2);
    Cartoon::box(p, QRectF(34, 55, 14, 21), 6, QColor(121, 85, 72));
    for (const qreal x : {15.0, 56.0}) {
        Cartoon::box(p, QRectF(x, 46, 12, 12), 2, QColor(129, 212, 250));
        strokeLine(p, QPointF(x + 6, 46), QPointF(x + 6, 58), Cartoon::ink(), 1.2);
    }
    // The brush: bamboo handle, white hair dipped in ink.
    p.save();
    p.translate(86, 8);
    p.rotate(12);
    Cartoon::box(p, QRectF(-4, 0, 8, 44), 3, QColor(214, 178, 104));
    strokeLine(p, QPointF(-4, 14), QPointF(4, 14), QColor(150, 110, 50), 1.2);
    strokeLine(p, QPointF(-4, 30), QPointF(4, 30), QColor(150, 110, 50), 1.2);
    Cartoon::box(p, QRectF(-5, 42, 10, 6), 1.5, QColor(93, 64, 55), 1.4);
    QPainterPath hair;
    hair.moveTo(-5, 48);
    hair.cubicTo(-7, 56, -3, 63, 0, 68);
    hair.cubicTo(3, 63, 7, 56, 5, 48);
    hair.closeSubpath();
    Cartoon::shape(p, hair, QColor(250, 250, 245), 1.5);
    QPainterPath ink;
    ink.moveTo(-4.2, 57);
    ink.cubicTo(-3, 62, -1, 65, 0, 68);
    ink.cubicTo(1, 65, 3, 62, 4.2, 57);
    ink.closeSubpath();
    Cartoon::shape(p, ink, QColor(33, 33, 33), 0);
    p.restore();
}

// 94 x 86: a striped lighthouse on rocks, its lamp beaming.
void SitePainter::lighthouse(QPainter &p)
{
    p.save();
    p.setPen(Qt::NoPen);
    QRadialGradient light(QPointF(47, 17), 44);
    light.setColorAt(0, QColor(255, 241, 118, 230));
    light.setColorAt(1, QColor(255, 241, 118, 0));
    p.setBrush(light);
    QPainterPath beams;
    beams.moveTo(47, 17);
    beams.lineTo(5, 6);
    beams.lineTo(5, 26);
    beams.closeSubpath();
    beams.moveTo(47, 17);
    beams.lineTo(89, 6);
    beams.lineTo(89, 26);
    beams.closeSubpath();
    p.drawPath(beams);
    p.restore();

    QPainterPath rocks;
    rocks.addEllipse(QRectF(10, 62, 34, 20));
    rocks.addEllipse(QRectF(30, 58, 40, 24));
    rocks.addEllipse(QRectF(56, 64, 30, 18));
    Cartoon::shape(p, rocks.simplified(), QColor(144, 164, 174));
    Cartoon::shine(p, QRectF(38, 62, 14, 5), 110);

    QPainterPath tower;
    tower.moveTo(35, 70);
    tower.lineTo(39, 28);
    tower.lineTo(55, 28);
    tower.lineTo(59, 70);
    tower.closeSubpath();
    p.save();
    p.setClipPath(tower);
    p.fillRect(QRectF(30, 26, 34, 46), Qt::white);
    for (int band = 0; band < 3; ++band)
        p.fillRect(QRectF(30, 34 + band * 13, 34, 6.5), QColor(229, 57, 53));
    p.restore();
    Cartoon::shape(p, tower, Qt::NoBrush);
    Cartoon::box(p, QRectF(43.5, 58, 7, 12), 3, QColor(121, 85, 72), 1.4);
    Cartoon::box(p, QRectF(33, 24, 28, 5), 1.5, QColor(69, 90, 100));
    Cartoon::box(p, QRectF(39, 12, 16, 12), 1.5, QColor(255, 235, 59));
    Cartoon::shine(p, QRectF(42, 14, 5, 6), 200);
    QPainterPath roof;
    roof.moveTo(35, 13);
    roof.lineTo(47, 3);
    roof.lineTo(59, 13);
    roof.closeSubpath();
    Cartoon::shape(p, roof, QColor(229, 57, 53));
    Cartoon::ellipse(p, QPointF(47, 3), 2.2, 2.2, QColor(255, 213, 79), 1.2);
}

// 93 x 96: a Chinese pavilion with a curled roof and red lanterns.
void SitePainter::pavilion(QPainter &p)
{
    Cartoon::shadow(p, QPointF(46, 86), 42, 6);
    Cartoon::box(p, QRectF(9, 70, 75, 12), 2, QColor(176, 190, 197));
    Cartoon::box(p, QRectF(35, 80, 23, 8), 1.5, QColor(207, 216, 220));
    for (const qreal x : {16.0, 31.0, 57.0, 72.0})
        Cartoon::box(p, QRectF(x, 42, 6, 29), 1, QColor(211, 47, 47), 1.6);
    Cartoon::box(p, QRectF(14, 60, 65, 4), 1, QColor(255, 183, 77), 1.2);
    for (int i = 0; i < 6; ++i)
        strokeLine(p, QPointF(20 + i * 10.5, 60), QPointF(20 + i * 10.5, 69), QColor(255, 183, 77), 1.5);
    Cartoon::box(p, QRectF(12, 40, 69, 5), 1, QColor(211, 47, 47), 1.6);

    QPainterPath roof;
    roof.moveTo(2, 30);
    roof.quadTo(10, 42, 20, 42);
    roof.lineTo(73, 42);
    roof.quadTo(83, 42, 91, 30);
    roof.quadTo(74, 30, 64, 22);
    roof.quadTo(54, 14, 47, 8);
    roof.quadTo(39, 14, 29, 22);
    roof.quadTo(19, 30, 2, 30);
    roof.closeSubpath();
    Cartoon::shape(p, roof, QColor(38, 166, 154));
    p.save();
    p.setClipPath(roof);
    for (int i = 0; i < 9; ++i)
        strokeLine(p, QPointF(16 + i * 7.5, 42), QPointF(30 + i * 4, 18), QColor(0, 121, 107), 1.2);
    p.restore();
    Cartoon::shape(p, roof, Qt::NoBrush);
    Cartoon::ellipse(p, QPointF(46.5, 6), 3.5, 3.5, QColor(255, 202, 40), 1.4);
    for (const qreal x : {9.0, 84.0}) {
        strokeLine(p, QPointF(x, 35), QPointF(x, 42), Cartoon::ink(), 1.0);
        Cartoon::ellipse(p, QPointF(x, 47), 4, 5, QColor(244, 67, 54), 1.3);
        strokeLine(p, QPointF(x, 52), QPointF(x, 56), QColor(255, 193, 7), 1.5);
    }
}

// 104 x 104: a smiling cloud under a rainbow, singing notes.
void SitePainter::songCloud(QPainter &p)
{
    const QPointF centre(52, 66);
    const QColor bands[] = {QColor(239, 83, 80), QColor(255, 183, 77), QColor(255, 238, 88),
                            QColor(102, 187, 106), QColor(66, 165, 245)};
    p.save();
    for (int i = 0; i < 5; ++i) {
        const qreal r = 44 - i * 4.2;
        QPen pen(bands[i], 4.4);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 0, 180 * 16);
    }
    p.restore();
    const QPainterPath cloud = Cartoon::cloud(QRectF(8, 44, 88, 50));
    Cartoon::shape(p, cloud, Qt::white, 2.2);
    Cartoon::face(p, QPointF(52, 76), 16);
    Cartoon::note(p, QPointF(15, 38), 16, QColor(236, 64, 122), false);
    Cartoon::note(p, QPointF(41, 26), 15, QColor(126, 87, 194), true);
    Cartoon::note(p, QPointF(84, 36), 14, QColor(255, 143, 0), false);
}

// 88 x 102: a hanging scroll with an idiom written on it.
void SitePainter::scroll(QPainter &p)
{
    Cartoon::shadow(p, QPointF(44, 94), 38, 5);
    Cartoon::box(p, QRectF(8, 6, 5, 88), 2, QColor(161, 107, 61), 1.5);
    Cartoon::box(p, QRectF(75, 6, 5, 88), 2, QColor(161, 107, 61), 1.5);
    Cartoon::box(p, QRectF(4, 90, 14, 5), 2, QColor(121, 85, 72), 1.3);
    Cartoon::box(p, QRectF(70, 90, 14, 5), 2, QColor(121, 85, 72), 1.3);
    Cartoon::box(p, QRectF(5, 4, 78, 6), 3, QColor(161, 107, 61), 1.5);
    strokeLine(p, QPointF(44, 10), QPointF(44, 14), Cartoon::ink(), 1.2);
    Cartoon::box(p, QRectF(21, 15, 46, 6), 3, QColor(141, 85, 36), 1.5);
    Cartoon::box(p, QRectF(24, 20, 40, 60), 1, QColor(255, 248, 225), 1.6);
    Cartoon::box(p, QRectF(26.5, 22.5, 35, 55), 0, Qt::NoBrush, 0);
    p.save();
    p.setPen(QPen(QColor(211, 47, 47), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(27, 23, 34, 54));
    p.restore();
    const QString idiom = QStringLiteral("画龙点睛");
    for (int i = 0; i < idiom.size(); ++i)
        Cartoon::text(p, QRectF(30, 24 + i * 12.5, 28, 12.5), idiom.mid(i, 1), 11, QColor(33, 33, 33),
                      QColor(255, 248, 225), 0.5);
    Cartoon::box(p, QRectF(50, 67, 7, 7), 1, QColor(229, 57, 53), 0);
    Cartoon::box(p, QRectF(21, 78, 46, 6), 3, QColor(141, 85, 36), 1.5);
    Cartoon::ellipse(p, QPointF(20, 81), 2.5, 3.5, QColor(255, 202, 40), 1.2);
    Cartoon::ellipse(p, QPointF(68, 81), 2.5, 3.5, QColor(255, 202, 40), 1.2);
}

// 106 x 89: toy blocks showing a, o and e, kept high so the caption fits below.
void SitePainter::pinyinBlocks(QPainter &p)
{
    Cartoon::shadow(p, QPointF(52, 64), 40, 5);
    letterBlock(p, QRectF(22, 36, 28, 28), QColor(239, 83, 80), QStringLiteral("a"));
    letterBlock(p, QRectF(55, 36, 28, 28), QColor(66, 165, 245), QStringLiteral("o"));
    letterBlock(p, QRectF(38, 9, 28, 28), QColor(102, 187, 106), QStringLiteral("e"));
    Cartoon::shape(p, Cartoon::star(QPointF(86, 16), 7, 3), QColor(255, 214, 0), 1.3);
    Cartoon::shape(p, Cartoon::star(QPointF(16, 24), 5, 2.2), QColor(255, 214, 0), 1.2);
}

// 107 x 108: a hot-air balloon shaped like the globe, trailing notes.
void SitePainter::globeBalloon(QPainter &p)
{
    const QPointF c(54, 40);
    const qreal r = 33;
    strokeLine(p, QPointF(37, 67), QPointF(44, 84), Cartoon::ink(), 1.4);
    strokeLine(p, QPointF(71, 67), QPointF(64, 84), Cartoon::ink(), 1.4);
    strokeLine(p, QPointF(54, 73), QPointF(54, 84), Cartoon::ink(), 1.2);
    QPainterPath globe;
    globe.addEllipse(c, r, r);
    QPainterPath envelope = globe;
    QPainterPath neck;
    neck.moveTo(34, 64);
    neck.quadTo(54, 80, 74, 64);
    neck.lineTo(54, 50);
    neck.closeSubpath();
    envelope = envelope.united(neck).simplified();
    Cartoon::shape(p, envelope, QColor(66, 165, 245), 2.2);
    p.save();
    p.setClipPath(globe);
    QPainterPath land;
    land.moveTo(30, 18);
    land.cubicTo(40, 10, 52, 16, 50, 26);
    land.cubicTo(48, 34, 56, 40, 50, 50);
    land.cubicTo(44, 60, 34, 50, 32, 42);
    land.cubicTo(30, 34, 22, 28, 30, 18);
    land.closeSubpath();
    land.moveTo(62, 14);
    land.cubicTo(74, 8, 90, 20, 86, 32);
    land.cubicTo(82, 42, 72, 34, 66, 40);
    land.cubicTo(60, 44, 58, 30, 62, 14);
    land.closeSubpath();
    land.moveTo(64, 54);
    land.cubicTo(72, 50, 80, 54, 76, 62);
    land.cubicTo(72, 68, 62, 62, 64, 54);
    land.closeSubpath();
    Cartoon::shape(p, land, QColor(124, 204, 96), 1.4);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    p.restore();
    Cartoon::shine(p, QRectF(32, 16, 12, 8), 160);
    Cartoon::box(p, QRectF(42, 83, 24, 15), 3, QColor(188, 132, 78), 1.8);
    strokeLine(p, QPointF(42, 89), QPointF(66, 89), QColor(130, 85, 45), 1.2);
    Cartoon::note(p, QPointF(11, 32), 13, QColor(236, 64, 122), false);
    Cartoon::note(p, QPointF(88, 76), 13, QColor(255, 143, 0), true);
    Cartoon::note(p, QPointF(13, 78), 11, QColor(126, 87, 194), false);
}

// 106 x 89: a beaming light bulb and a little microscope.
void SitePainter::bulbAndMicroscope(QPainter &p)
{
    const QPointF c(36, 32);
    p.save();
    QPen rayPen(QColor(255, 193, 7), 2.6);
    rayPen.setCapStyle(Qt::RoundCap);
    p.setPen(rayPen);
    for (int i = 0; i < 7; ++i) {
        const qreal a = qDegreesToRadians(-180.0 + i * 30.0);
        p.drawLine(QPointF(c.x() + 25 * qCos(a), c.y() + 25 * qSin(a)),
                   QPointF(c.x() + 31 * qCos(a), c.y() + 31 * qSin(a)));
    }
    p.restore();
    QPainterPath bulb;
    bulb.addEllipse(c, 21, 21);
    QPainterPath neck;
    neck.moveTo(24, 46);
    neck.lineTo(48, 46);
    neck.lineTo(45, 60);
    neck.lineTo(27, 60);
    neck.closeSubpath();
    Cartoon::shape(p, bulb.united(neck).simplified(), QColor(255, 238, 88), 2.2);
    Cartoon::shine(p, QRectF(22, 18, 10, 8), 200);
    Cartoon::face(p, QPointF(36, 36), 14);
    for (int i = 0; i < 3; ++i)
        Cartoon::box(p, QRectF(27, 60 + i * 5, 18, 5), 2, QColor(176, 190, 197), 1.4);
    Cartoon::box(p, QRectF(31, 75, 10, 4), 2, QColor(84, 110, 122), 1.3);

    // Microscope.
    Cartoon::shadow(p, QPointF(80, 80), 22, 4);
    Cartoon::box(p, QRectF(62, 72, 36, 8), 3, QColor(84, 110, 122));
    QPainterPath arm;
    arm.moveTo(86, 73);
    arm.cubicTo(96, 58, 96, 34, 82, 26);
    arm.lineTo(78, 32);
    arm.cubicTo(88, 40, 88, 58, 80, 73);
    arm.closeSubpath();
    Cartoon::shape(p, arm, QColor(120, 144, 156));
    Cartoon::box(p, QRectF(62, 54, 26, 4), 1.5, QColor(69, 90, 100), 1.4);
    const QPainterPath tube = rotatedRect(QRectF(66, 18, 10, 32), QPointF(71, 34), -25);
    Cartoon::shape(p, tube, QColor(236, 239, 241));
    const QPainterPath eyepiece = rotatedRect(QRectF(67, 11, 8, 8), QPointF(71, 34), -25);
    Cartoon::shape(p, eyepiece, QColor(66, 165, 245), 1.5);
    const QPainterPath lens = rotatedRect(QRectF(68, 49, 6, 5), QPointF(71, 34), -25);
    Cartoon::shape(p, lens, QColor(69, 90, 100), 1.3);
}

// 83 x 90: a little tower of A, B and C blocks with a pennant on top.
void SitePainter::abcTower(QPainter &p)
{
    Cartoon::shadow(p, QPointF(40, 66), 32, 5);
    letterBlock(p, QRectF(12, 40, 26, 26), QColor(171, 71, 188), QStringLiteral("B"));
    letterBlock(p, QRectF(42, 40, 26, 26), QColor(255, 167, 38), QStringLiteral("C"));
    letterBlock(p, QRectF(26, 14, 26, 26), QColor(38, 198, 218), QStringLiteral("A"));
    strokeLine(p, QPointF(42, 9), QPointF(42, 2), Cartoon::ink(), 1.5);
    QPainterPath pennant;
    pennant.moveTo(42, 2);
    pennant.lineTo(56, 5);
    pennant.lineTo(42, 8);
    pennant.closeSubpath();
    Cartoon::shape(p, pennant, QColor(239, 83, 80), 1.2);
    Cartoon::shape(p, Cartoon::star(QPointF(70, 18), 6, 2.6), QColor(255, 214, 0), 1.2);
    Cartoon::shape(p, Cartoon::star(QPointF(13, 26), 5, 2.2), QColor(255, 214, 0), 1.2);
}

// 105 x 96: a big game pad and a ball.
void SitePainter::gamePad(QPainter &p)
{
    Cartoon::shadow(p, QPointF(52, 84), 46, 6);
    QPainterPath pad;
    pad.addRoundedRect(QRectF(10, 26, 84, 36), 17, 17);
    QPainterPath grips;
    grips.addEllipse(QPointF(25, 60), 15, 18);
    grips.addEllipse(QPointF(79, 60), 15, 18);
    Cartoon::shape(p, pad.united(grips).simplified(), QColor(126, 87, 194), 2.2);
    Cartoon::shine(p, QRectF(24, 29, 22, 6), 110);
    // Direction pad.
    QPainterPath cross;
    cross.addRoundedRect(QRectF(16, 41, 24, 8), 2, 2);
    cross.addRoundedRect(QRectF(24, 33, 8, 24), 2, 2);
    Cartoon::shape(p, cross.simplified(), QColor(55, 71, 79), 1.4);
    // Buttons.
    Cartoon::ellipse(p, QPointF(78, 37), 4.5, 4.5, QColor(255, 238, 88), 1.3);
    Cartoon::ellipse(p, QPointF(87, 45), 4.5, 4.5, QColor(239, 83, 80), 1.3);
    Cartoon::ellipse(p, QPointF(69, 45), 4.5, 4.5, QColor(102, 187, 106), 1.3);
    Cartoon::ellipse(p, QPointF(78, 53), 4.5, 4.5, QColor(66, 165, 245), 1.3);
    Cartoon::box(p, QRectF(44, 44, 7, 4), 2, QColor(179, 157, 219), 1.1);
    Cartoon::box(p, QRectF(54, 44, 7, 4), 2, QColor(179, 157, 219), 1.1);
    strokeLine(p, QPointF(52, 26), QPointF(52, 14), Cartoon::ink(), 1.6);
    p.save();
    p.setPen(Cartoon::outline(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(52, 4, 20, 20), 180 * 16, -120 * 16);
    p.restore();
    Cartoon::shape(p, Cartoon::star(QPointF(14, 14), 6, 2.6), QColor(255, 214, 0), 1.2);
    Cartoon::shape(p, Cartoon::star(QPointF(92, 14), 5, 2.2), QColor(255, 214, 0), 1.2);
}

// 110 x 108: two puzzle pieces and a bundle of crayons.
void SitePainter::puzzleAndCrayons(QPainter &p)
{
    Cartoon::shadow(p, QPointF(55, 98), 48, 6);
    Cartoon::shape(p, Cartoon::puzzlePiece(QRectF(2, 34, 62, 62)), QColor(239, 83, 80), 2.2);
    Cartoon::shine(p, QRectF(16, 56, 12, 7), 110);
    p.save();
    p.translate(70, 40);
    p.rotate(14);
    p.translate(-70, -40);
    Cartoon::shape(p, Cartoon::puzzlePiece(QRectF(44, 10, 52, 52)), QColor(66, 165, 245), 2.2);
    Cartoon::shine(p, QRectF(56, 29, 10, 6), 110);
    p.restore();
    crayon(p, QPointF(84, 58), 40, -16, QColor(255, 202, 40));
    crayon(p, QPointF(94, 60), 38, -4, QColor(102, 187, 106));
    crayon(p, QPointF(74, 62), 36, -30, QColor(171, 71, 188));
    Cartoon::shape(p, Cartoon::star(QPointF(24, 20), 6, 2.6), QColor(255, 214, 0), 1.2);
}

} // namespace kivora
