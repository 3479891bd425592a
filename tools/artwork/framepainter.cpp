#include "tools/artwork/framepainter.h"

#include "tools/artwork/canvas.h"
#include "tools/artwork/cartoon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kivora {

namespace {

QPainterPath roundedRect(const QRectF &rect, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addRoundedRect(rect, rx, ry);
    return path;
}

void roundButton(QPainter &p, QPointF centre, qreal radius, const QColor &face)
{
    Cartoon::ellipse(p, centre, radius + 4, radius + 4, QColor(255, 255, 255), 2.2);
    QRadialGradient gradient(centre - QPointF(radius * 0.3, radius * 0.4), radius * 1.3);
    gradient.setColorAt(0, face.lighter(140));
    gradient.setColorAt(1, face);
    Cartoon::ellipse(p, centre, radius, radius, gradient, 2.2);
    Cartoon::shine(p, QRectF(centre.x() - radius * 0.6, centre.y() - radius * 0.75, radius * 0.7, radius * 0.4), 140);
}

void clearScreen(QPainter &p, const QRect &screen)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.fillRect(screen, Qt::transparent);
    p.restore();
}

} // namespace

QImage FramePainter::launcherFrame(qreal scale)
{
    QImage image = makeCanvas({845, 628}, scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The window's rounded region starts at (5, 5) with 40 x 45 corner radii;
    // a body inset a few pixels further with larger radii stays inside it.
    const QRectF body(10, 10, 826, 609);
    QLinearGradient bumper(0, body.top(), 0, body.bottom());
    bumper.setColorAt(0, QColor(255, 196, 77));
    bumper.setColorAt(1, QColor(255, 145, 38));
    Cartoon::shape(p, roundedRect(body, 52, 56), bumper, 3.0);
    p.save();
    p.setPen(QPen(QColor(255, 236, 179), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(body.adjusted(7, 7, -7, -7), 45, 49));
    p.restore();

    // Confetti dots and stars on the rim.
    const QList<std::pair<QPointF, QColor>> dots = {
        {{40, 120}, QColor(239, 83, 80)},  {{38, 200}, QColor(66, 165, 245)},  {{40, 440}, QColor(102, 187, 106)},
        {{38, 520}, QColor(171, 71, 188)}, {{160, 32}, QColor(66, 165, 245)},  {{260, 30}, QColor(239, 83, 80)},
        {{560, 32}, QColor(102, 187, 106)}, {{680, 30}, QColor(171, 71, 188)}, {{180, 596}, QColor(239, 83, 80)},
        {{330, 598}, QColor(66, 165, 245)}, {{520, 596}, QColor(171, 71, 188)}, {{690, 598}, QColor(102, 187, 106)},
        {{806, 120}, QColor(66, 165, 245)}, {{806, 520}, QColor(239, 83, 80)},
    };
    for (const auto &[at, colour] : dots)
        Cartoon::ellipse(p, at, 6, 6, colour, 1.6);
    for (const QPointF &at : {QPointF(40, 320), QPointF(806, 200), QPointF(806, 430), QPointF(110, 596),
                              QPointF(760, 596), QPointF(100, 32), QPointF(750, 32)})
        Cartoon::shape(p, Cartoon::star(at, 10, 4.4), QColor(255, 241, 118), 1.8);

    // Camera eye at the top and a speaker grille at the left, like a real tablet.
    Cartoon::ellipse(p, QPointF(424, 32), 8, 8, QColor(55, 71, 79), 1.8);
    Cartoon::ellipse(p, QPointF(424, 32), 3.5, 3.5, QColor(129, 212, 250), 0);
    for (int i = 0; i < 5; ++i)
        Cartoon::ellipse(p, QPointF(40, 365 + i * 12), 2.6, 2.6, QColor(191, 96, 10), 0);

    // Dark bezel around the screen.
    const QRect screen(72, 56, 704, 515);
    Cartoon::shape(p, roundedRect(QRectF(screen).adjusted(-6, -6, 6, 6), 10, 10), QColor(45, 48, 71), 2.4);

    // The close button on the middle of the right rim.
    const QPointF centre(805, 314.5);
    roundButton(p, centre, 19, QColor(239, 83, 80));
    QPen cross(Qt::white, 5);
    cross.setCapStyle(Qt::RoundCap);
    p.setPen(cross);
    p.drawLine(centre + QPointF(-7, -7), centre + QPointF(7, 7));
    p.drawLine(centre + QPointF(-7, 7), centre + QPointF(7, -7));

    clearScreen(p, screen);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage FramePainter::categoryBackground(qreal scale)
{
    QImage image = makeCanvas({1200, 850}, scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // The window's region runs from (5, 4) to (1195, 845) with 40-pixel corner radii.
    const QRectF body(10, 9, 1180, 831);
    QLinearGradient shell(0, body.top(), 0, body.bottom());
    shell.setColorAt(0, QColor(58, 66, 104));
    shell.setColorAt(1, QColor(30, 34, 58));
    Cartoon::shape(p, roundedRect(body, 52, 52), shell, 3.0);
    p.save();
    p.setPen(QPen(QColor(110, 122, 180), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(body.adjusted(8, 8, -8, -8), 44, 44));
    p.restore();

    // A sprinkle of small stars so the dark frame still feels friendly.
    const QList<std::pair<QPointF, QColor>> stars = {
        {{60, 140}, QColor(255, 241, 118)}, {{56, 300}, QColor(129, 212, 250)}, {{62, 560}, QColor(244, 143, 177)},
        {{58, 720}, QColor(255, 241, 118)}, {{240, 44}, QColor(129, 212, 250)}, {{420, 40}, QColor(244, 143, 177)},
        {{780, 42}, QColor(255, 241, 118)}, {{960, 40}, QColor(129, 212, 250)}, {{230, 806}, QColor(255, 241, 118)},
        {{520, 808}, QColor(244, 143, 177)}, {{800, 806}, QColor(129, 212, 250)}, {{1000, 808}, QColor(255, 241, 118)},
        {{1142, 160}, QColor(244, 143, 177)}, {{1140, 640}, QColor(255, 241, 118)},
    };
    for (const auto &[at, colour] : stars)
        Cartoon::shape(p, Cartoon::star(at, 9, 4), colour, 1.6);
    Cartoon::ellipse(p, QPointF(600, 44), 9, 9, QColor(20, 22, 40), 1.8);
    Cartoon::ellipse(p, QPointF(600, 44), 4, 4, QColor(79, 195, 247), 0);

    const QRect screen(112, 80, 977, 681);
    Cartoon::shape(p, roundedRect(QRectF(screen).adjusted(-12, -12, 12, 12), 18, 18), QColor(12, 14, 26), 2.4);

    // The back button's round face at the right edge, with an arrow pointing home.
    const QPointF centre(1141.5, 424.5);
    roundButton(p, centre, 32, QColor(38, 198, 218));
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-14, 0));
    arrow.lineTo(centre + QPointF(0, -13));
    arrow.lineTo(centre + QPointF(0, -6));
    arrow.lineTo(centre + QPointF(13, -6));
    arrow.lineTo(centre + QPointF(13, 6));
    arrow.lineTo(centre + QPointF(0, 6));
    arrow.lineTo(centre + QPointF(0, 13));
    arrow.closeSubpath();
    Cartoon::shape(p, arrow, Qt::white, 1.8);

    clearScreen(p, screen);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace kivora
