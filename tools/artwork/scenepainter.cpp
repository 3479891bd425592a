#include "tools/artwork/scenepainter.h"

#include "tools/artwork/canvas.h"
#include "tools/artwork/cartoon.h"
#include "tools/artwork/sitepainter.h"
#include "tools/artwork/sitetable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>

namespace kivora {

namespace {

constexpr int kWidth = 702;
constexpr int kHeight = 513;
constexpr qreal kHorizon = 112;

QPainterPath smoothClosed(const QList<QPointF> &points)
{
    // Closed Catmull-Rom curve through the points, for soft coastlines.
    QPainterPath path;
    const int n = points.size();
    path.moveTo(points[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF p0 = points[(i - 1 + n) % n];
        const QPointF p1 = points[i];
        const QPointF p2 = points[(i + 1) % n];
        const QPointF p3 = points[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    path.closeSubpath();
    return path;
}

QPainterPath islandOutline()
{
    return smoothClosed({
        {14, 300}, {24, 228}, {70, 178}, {140, 146}, {215, 128}, {300, 122}, {390, 120},
        {470, 126}, {545, 148}, {625, 178}, {680, 232}, {692, 310}, {684, 382}, {640, 432},
        {575, 470}, {500, 494}, {420, 497}, {330, 492}, {240, 478}, {160, 452}, {90, 430},
        {38, 384},
    });
}

void wave(QPainter &painter, QPointF at, qreal width)
{
    painter.save();
    QPen pen(QColor(255, 255, 255, 170), 2.0);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(at);
    path.quadTo(at + QPointF(width / 4, -4), at + QPointF(width / 2, 0));
    path.quadTo(at + QPointF(width * 3 / 4, 4), at + QPointF(width, 0));
    painter.drawPath(path);
    painter.restore();
}

} // namespace

QImage ScenePainter::render(qreal scale)
{
    QImage image = makeCanvas({kWidth, kHeight}, scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    sky(painter);
    sea(painter);
    island(painter);
    decorations(painter);

    // Sites further back are drawn first so that nearer ones overlap them.
    QList<Site> sites = SiteTable::all();
    std::stable_sort(sites.begin(), sites.end(),
                     [](const Site &a, const Site &b) { return a.sceneRect().bottom() < b.sceneRect().bottom(); });
    for (const Site &site : sites)
        SitePainter::paint(painter, site.number, site.sceneRect());
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

void ScenePainter::sky(QPainter &p)
{
    QLinearGradient gradient(0, 0, 0, kHorizon);
    gradient.setColorAt(0, QColor(100, 190, 255));
    gradient.setColorAt(1, QColor(200, 236, 255));
    p.fillRect(QRectF(0, 0, kWidth, kHorizon + 2), gradient);

    // A smiling sun in the top right corner, clear of the sites.
    const QPointF sun(662, 36);
    p.save();
    QPen rayPen(QColor(255, 193, 7), 4);
    rayPen.setCapStyle(Qt::RoundCap);
    p.setPen(rayPen);
    for (int i = 0; i < 12; ++i) {
        const qreal a = qDegreesToRadians(i * 30.0 + 8);
        p.drawLine(QPointF(sun.x() + 30 * qCos(a), sun.y() + 30 * qSin(a)),
                   QPointF(sun.x() + 40 * qCos(a), sun.y() + 40 * qSin(a)));
    }
    p.restore();
    Cartoon::ellipse(p, sun, 25, 25, QColor(255, 221, 64), 2.2);
    Cartoon::face(p, QPointF(sun.x(), sun.y() + 2), 22);

    Cartoon::shape(p, Cartoon::cloud(QRectF(14, 26, 62, 30)), QColor(255, 255, 255, 235), 1.6);
    Cartoon::shape(p, Cartoon::cloud(QRectF(222, 14, 70, 32)), QColor(255, 255, 255, 235), 1.6);
    Cartoon::shape(p, Cartoon::cloud(QRectF(405, 40, 58, 26)), QColor(255, 255, 255, 235), 1.6);

    // Two seagulls.
    p.save();
    p.setPen(Cartoon::outline(1.8));
    p.setBrush(Qt::NoBrush);
    for (const QPointF &gull : {QPointF(340, 40), QPointF(362, 56), QPointF(470, 18)}) {
        QPainterPath path;
        path.moveTo(gull + QPointF(-8, 0));
        path.quadTo(gull + QPointF(-4, -6), gull);
        path.quadTo(gull + QPointF(4, -6), gull + QPointF(8, 0));
        p.drawPath(path);
    }
    p.restore();
}

void ScenePainter::sea(QPainter &p)
{
    QLinearGradient gradient(0, kHorizon, 0, kHeight);
    gradient.setColorAt(0, QColor(64, 196, 255));
    gradient.setColorAt(1, QColor(2, 136, 209));
    p.fillRect(QRectF(0, kHorizon, kWidth, kHeight - kHorizon), gradient);
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.drawLine(QPointF(0, kHorizon), QPointF(kWidth, kHorizon));
    p.restore();
    const QList<QPointF> waves = {{8, 128}, {470, 118}, {610, 128}, {650, 150}, {6, 170}, {24, 140},
                                  {8, 440}, {30, 470}, {100, 488}, {600, 490}, {660, 470}, {690, 420},
                                  {200, 500}, {12, 405}, {170, 120}};
    for (const QPointF &at : waves)
        wave(p, at, 18);
}

void ScenePainter::island(QPainter &p)
{
    const QPainterPath outline = islandOutline();
    // Foam, then sand, then grass: three nested rings around the same coast.
    p.save();
    QPen foam(QColor(255, 255, 255, 200), 26);
    foam.setJoinStyle(Qt::RoundJoin);
    p.setPen(foam);
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    QPen sand(QColor(255, 224, 150), 20);
    sand.setJoinStyle(Qt::RoundJoin);
    p.setPen(sand);
    p.drawPath(outline);
    p.restore();

    // A gentle hill behind the pinyin blocks, rising over the coast.
    QPainterPath hill;
    hill.moveTo(222, 160);
    hill.cubicTo(250, 70, 400, 66, 428, 160);
    hill.closeSubpath();
    Cartoon::shape(p, hill, QColor(129, 204, 84), 2.0);

    QTransform shrink;
    shrink.translate(352, 318);
    shrink.scale(0.975, 0.955);
    shrink.translate(-352, -318);
    const QPainterPath grass = shrink.map(outline);
    QRadialGradient green(QPointF(340, 280), 380);
    green.setColorAt(0, QColor(156, 219, 92));
    green.setColorAt(1, QColor(104, 186, 72));
    p.save();
    p.setBrush(green);
    p.setPen(Qt::NoPen);
    p.drawPath(grass);
    p.setPen(Cartoon::outline(2.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath everywhere;
    everywhere.addRect(0, 0, kWidth, kHeight);
    p.setClipPath(everywhere.subtracted(hill));
    p.drawPath(grass);
    p.restore();

    // Sandy paths that join the sites.
    p.save();
    QPen path(QColor(240, 215, 150), 11);
    path.setCapStyle(Qt::RoundCap);
    path.setJoinStyle(Qt::RoundJoin);
    p.setPen(path);
    p.setBrush(Qt::NoBrush);
    QPainterPath trail;
    trail.moveTo(140, 400);
    trail.cubicTo(220, 400, 250, 420, 300, 440);
    trail.moveTo(200, 210);
    trail.cubicTo(230, 300, 320, 300, 390, 300);
    trail.moveTo(390, 300);
    trail.cubicTo(430, 360, 470, 420, 500, 450);
    trail.moveTo(390, 300);
    trail.cubicTo(480, 290, 560, 300, 600, 330);
    trail.moveTo(325, 168);
    trail.cubicTo(340, 200, 370, 230, 390, 260);
    trail.moveTo(488, 200);
    trail.cubicTo(470, 240, 440, 260, 420, 270);
    p.drawPath(trail);
    p.restore();
}

void ScenePainter::decorations(QPainter &p)
{
    // Pond with a duck in the open middle of the island.
    Cartoon::ellipse(p, QPointF(258, 350), 42, 20, QColor(79, 195, 247), 2.0);
    Cartoon::shine(p, QRectF(232, 340, 22, 6), 140);
    Cartoon::ellipse(p, QPointF(268, 350), 9, 6, QColor(255, 238, 88), 1.4);
    Cartoon::ellipse(p, QPointF(274, 342), 5, 5, QColor(255, 238, 88), 1.4);
    QPainterPath beak;
    beak.moveTo(278, 341);
    beak.lineTo(284, 343);
    beak.lineTo(278, 345);
    beak.closeSubpath();
    Cartoon::shape(p, beak, QColor(255, 152, 0), 1.0);
    Cartoon::ellipse(p, QPointF(275, 341), 0.9, 0.9, Cartoon::ink(), 0);

    Cartoon::palmTree(p, QPointF(300, 300), 70);
    Cartoon::palmTree(p, QPointF(262, 446), 56);
    Cartoon::palmTree(p, QPointF(640, 440), 52);
    Cartoon::palmTree(p, QPointF(52, 406), 50);
    Cartoon::roundTree(p, QPointF(250, 196), 40, QColor(67, 160, 71));
    Cartoon::roundTree(p, QPointF(414, 168), 36, QColor(102, 187, 106));
    Cartoon::roundTree(p, QPointF(500, 272), 42, QColor(67, 160, 71));
    Cartoon::roundTree(p, QPointF(530, 350), 34, QColor(102, 187, 106));
    Cartoon::roundTree(p, QPointF(470, 385), 30, QColor(76, 175, 80));

    const QList<std::pair<QPointF, QColor>> flowers = {
        {{200, 240}, QColor(240, 98, 146)}, {{330, 380}, QColor(255, 241, 118)}, {{420, 340}, QColor(186, 104, 200)},
        {{360, 410}, QColor(240, 98, 146)}, {{560, 400}, QColor(255, 241, 118)}, {{150, 250}, QColor(255, 138, 101)},
        {{610, 390}, QColor(240, 98, 146)}, {{450, 240}, QColor(255, 241, 118)}, {{70, 330}, QColor(186, 104, 200)},
    };
    for (const auto &[at, colour] : flowers)
        Cartoon::flower(p, at, 5, colour);

    // Beach things: an umbrella, a starfish and a sailing boat.
    p.save();
    p.setPen(Cartoon::outline(2));
    p.drawLine(QPointF(178, 470), QPointF(186, 430));
    p.restore();
    QPainterPath umbrella;
    umbrella.moveTo(160, 436);
    umbrella.cubicTo(166, 410, 206, 412, 212, 436);
    umbrella.closeSubpath();
    Cartoon::shape(p, umbrella, QColor(255, 112, 67), 1.8);
    Cartoon::shape(p, Cartoon::star(QPointF(390, 484), 8, 3.5), QColor(255, 138, 101), 1.4);

    QPainterPath hull;
    hull.moveTo(636, 480);
    hull.lineTo(688, 480);
    hull.lineTo(678, 494);
    hull.lineTo(646, 494);
    hull.closeSubpath();
    Cartoon::shape(p, hull, QColor(239, 83, 80), 1.6);
    QPainterPath sail;
    sail.moveTo(662, 444);
    sail.lineTo(662, 477);
    sail.lineTo(684, 477);
    sail.closeSubpath();
    Cartoon::shape(p, sail, Qt::white, 1.6);

    // A fish jumping off the left shore.
    QPainterPath fish;
    fish.addEllipse(QRectF(10, 466, 22, 11));
    fish.moveTo(30, 471);
    fish.lineTo(40, 464);
    fish.lineTo(40, 479);
    fish.closeSubpath();
    Cartoon::shape(p, fish.simplified(), QColor(255, 167, 38), 1.5);
    Cartoon::ellipse(p, QPointF(16, 470), 1.3, 1.3, Cartoon::ink(), 0);
}

} // namespace kivora
