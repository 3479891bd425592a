#include "tools/artwork/cartoon.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStringList>
#include <QtMath>

namespace kivora {

QString Cartoon::s_family;

QColor Cartoon::ink()
{
    return QColor(45, 48, 71);
}

QPen Cartoon::outline(qreal width)
{
    QPen pen(ink(), width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

bool Cartoon::loadFonts()
{
    // The bold face reads best on small captions; the regular face is the fallback.
    const QStringList files = {
        QStringLiteral("/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"),
        QStringLiteral("/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"),
    };
    for (const QString &file : files) {
        const int id = QFontDatabase::addApplicationFont(file);
        if (id < 0)
            continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        for (const QString &family : families) {
            if (family.contains(QLatin1String("CJK SC"))) {
                s_family = family;
                return true;
            }
        }
    }
    if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK SC"))) {
        s_family = QStringLiteral("Noto Sans CJK SC");
        return true;
    }
    return false;
}

QFont Cartoon::font(qreal pixelSize)
{
    QFont font(s_family);
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Black);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::NoSubpixelAntialias));
    return font;
}

void Cartoon::shape(QPainter &painter, const QPainterPath &path, const QBrush &fill, qreal width)
{
    painter.save();
    painter.setBrush(fill);
    if (width > 0)
        painter.setPen(outline(width));
    else
        painter.setPen(Qt::NoPen);
    painter.drawPath(path);
    painter.restore();
}

void Cartoon::ellipse(QPainter &painter, QPointF centre, qreal rx, qreal ry, const QBrush &fill, qreal width)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    shape(painter, path, fill, width);
}

void Cartoon::box(QPainter &painter, const QRectF &rect, qreal radius, const QBrush &fill, qreal width)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    shape(painter, path, fill, width);
}

void Cartoon::shine(QPainter &painter, const QRectF &rect, int alpha)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, alpha));
    painter.drawEllipse(rect);
    painter.restore();
}

void Cartoon::shadow(QPainter &painter, QPointF centre, qreal rx, qreal ry)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 60, 30, 70));
    painter.drawEllipse(centre, rx, ry);
    painter.restore();
}

QPainterPath Cartoon::star(QPointF centre, qreal outer, qreal inner, int points)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / points;
        const QPointF point(centre.x() + radius * qCos(angle), centre.y() + radius * qSin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Cartoon::cloud(const QRectF &rect)
{
    const qreal w = rect.width();
    const qreal h = rect.height();
    const qreal x = rect.x();
    const qreal y = rect.y();
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y + h * 0.45, w, h * 0.55), h * 0.27, h * 0.27);
    // Each puff is united on its own so no inner arcs remain in the outline.
    const QRectF puffs[] = {
        QRectF(x + w * 0.10, y + h * 0.25, w * 0.36, h * 0.62),
        QRectF(x + w * 0.30, y, w * 0.42, h * 0.80),
        QRectF(x + w * 0.58, y + h * 0.22, w * 0.32, h * 0.60),
    };
    for (const QRectF &puff : puffs) {
        QPainterPath circle;
        circle.addEllipse(puff);
        path = path.united(circle);
    }
    return path.simplified();
}

QPainterPath Cartoon::puzzlePiece(const QRectF &rect)
{
    // A square with a knob on the right and on the top, and a socket on the left.
    const qreal s = qMin(rect.width(), rect.height()) * 0.78;
    const QRectF body(rect.x() + rect.width() * 0.10, rect.bottom() - s, s, s);
    const qreal knob = s * 0.17;
    QPainterPath path;
    path.addRoundedRect(body, s * 0.08, s * 0.08);
    QPainterPath knobs;
    knobs.addEllipse(QPointF(body.right() + knob * 0.55, body.center().y()), knob, knob);
    knobs.addEllipse(QPointF(body.center().x(), body.top() - knob * 0.55), knob, knob);
    path = path.united(knobs);
    QPainterPath socket;
    socket.addEllipse(QPointF(body.left() + knob * 0.45, body.center().y()), knob * 0.95, knob * 0.95);
    return path.subtracted(socket).simplified();
}

void Cartoon::note(QPainter &painter, QPointF head, qreal size, const QColor &colour, bool twin)
{
    const qreal rx = size * 0.30;
    const qreal ry = size * 0.22;
    const qreal stem = size;
    const qreal gap = size * 0.75;
    QPainterPath path;
    auto addHead = [&](QPointF c) {
        QPainterPath oval;
        oval.addEllipse(c, rx, ry);
        QTransform tilt;
        tilt.translate(c.x(), c.y());
        tilt.rotate(-20);
        tilt.translate(-c.x(), -c.y());
        path = path.united(tilt.map(oval));
        path = path.united([&] {
            QPainterPath bar;
            bar.addRect(QRectF(c.x() + rx * 0.62, c.y() - stem, size * 0.14, stem));
            return bar;
        }());
    };
    addHead(head);
    if (twin) {
        const QPointF second(head.x() + gap, head.y() - size * 0.18);
        addHead(second);
        QPainterPath beam;
        const qreal x0 = head.x() + rx * 0.62;
        const qreal x1 = second.x() + rx * 0.62 + size * 0.14;
        beam.moveTo(x0, head.y() - stem);
        beam.lineTo(x1, second.y() - stem);
        beam.lineTo(x1, second.y() - stem + size * 0.22);
        beam.lineTo(x0, head.y() - stem + size * 0.22);
        beam.closeSubpath();
        path = path.united(beam);
    } else {
        QPainterPath flag;
        const qreal x0 = head.x() + rx * 0.62 + size * 0.07;
        const qreal top = head.y() - stem;
        flag.moveTo(x0, top);
        flag.cubicTo(x0 + size * 0.25, top + size * 0.15, x0 + size * 0.45, top + size * 0.30, x0 + size * 0.28, top + size * 0.60);
        flag.cubicTo(x0 + size * 0.32, top + size * 0.38, x0 + size * 0.18, top + size * 0.30, x0, top + size * 0.30);
        flag.closeSubpath();
        path = path.united(flag);
    }
    shape(painter, path.simplified(), colour, 1.6);
}

void Cartoon::palmTree(QPainter &painter, QPointF base, qreal height)
{
    shadow(painter, base, height * 0.28, height * 0.08);
    QPainterPath trunk;
    const qreal w = height * 0.07;
    const QPointF top(base.x() + height * 0.12, base.y() - height * 0.82);
    trunk.moveTo(base.x() - w, base.y());
    trunk.quadTo(base.x() - w * 0.5, base.y() - height * 0.5, top.x() - w * 0.6, top.y());
    trunk.lineTo(top.x() + w * 0.6, top.y());
    trunk.quadTo(base.x() + w * 1.5, base.y() - height * 0.5, base.x() + w, base.y());
    trunk.closeSubpath();
    shape(painter, trunk, QColor(178, 118, 64), 1.6);
    painter.save();
    painter.setPen(QPen(QColor(130, 80, 40), 1.2));
    for (int i = 1; i < 6; ++i) {
        const qreal t = i / 6.0;
        const QPointF c(base.x() + (top.x() - base.x()) * t * t, base.y() + (top.y() - base.y()) * t);
        painter.drawLine(QPointF(c.x() - w * 0.8, c.y()), QPointF(c.x() + w * 0.8, c.y() - 2));
    }
    painter.restore();
    const QColor leaf(76, 175, 80);
    for (int i = 0; i < 5; ++i) {
        const qreal angle = -170 + i * 40;
        const qreal len = height * 0.42;
        QPainterPath frond;
        frond.moveTo(0, 0);
        frond.cubicTo(len * 0.3, -len * 0.28, len * 0.75, -len * 0.22, len, len * 0.12);
        frond.cubicTo(len * 0.7, len * 0.02, len * 0.3, len * 0.05, 0, 0);
        QTransform t;
        t.translate(top.x(), top.y());
        t.rotate(angle + 20);
        shape(painter, t.map(frond), i % 2 ? leaf : leaf.lighter(118), 1.5);
    }
    ellipse(painter, QPointF(top.x() - 3, top.y() + 3), height * 0.045, height * 0.045, QColor(121, 85, 72), 1.2);
    ellipse(painter, QPointF(top.x() + 3, top.y() + 4), height * 0.045, height * 0.045, QColor(141, 100, 82), 1.2);
}

void Cartoon::roundTree(QPainter &painter, QPointF base, qreal size, const QColor &leaves)
{
    shadow(painter, base, size * 0.42, size * 0.11);
    box(painter, QRectF(base.x() - size * 0.08, base.y() - size * 0.45, size * 0.16, size * 0.45), 2,
        QColor(161, 107, 61), 1.5);
    const QPainterPath crown = cloud(QRectF(base.x() - size * 0.45, base.y() - size * 1.12, size * 0.9, size * 0.78));
    shape(painter, crown, leaves, 1.8);
    shine(painter, QRectF(base.x() - size * 0.25, base.y() - size * 1.0, size * 0.22, size * 0.14), 90);
    for (int i = 0; i < 3; ++i) {
        const QPointF apple(base.x() - size * 0.22 + i * size * 0.22, base.y() - size * (0.62 + 0.12 * (i % 2)));
        ellipse(painter, apple, size * 0.055, size * 0.055, QColor(239, 83, 80), 1.0);
    }
}

void Cartoon::flower(QPainter &painter, QPointF centre, qreal size, const QColor &petals)
{
    for (int i = 0; i < 5; ++i) {
        const qreal angle = i * 2 * M_PI / 5;
        ellipse(painter, QPointF(centre.x() + size * 0.5 * qCos(angle), centre.y() + size * 0.5 * qSin(angle)),
                size * 0.36, size * 0.36, petals, 1.0);
    }
    ellipse(painter, centre, size * 0.3, size * 0.3, QColor(255, 213, 79), 1.0);
}

void Cartoon::face(QPainter &painter, QPointF centre, qreal size)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink());
    painter.drawEllipse(QPointF(centre.x() - size * 0.32, centre.y() - size * 0.1), size * 0.09, size * 0.12);
    painter.drawEllipse(QPointF(centre.x() + size * 0.32, centre.y() - size * 0.1), size * 0.09, size * 0.12);
    painter.setBrush(QColor(255, 138, 128, 170));
    painter.drawEllipse(QPointF(centre.x() - size * 0.5, centre.y() + size * 0.12), size * 0.13, size * 0.08);
    painter.drawEllipse(QPointF(centre.x() + size * 0.5, centre.y() + size * 0.12), size * 0.13, size * 0.08);
    QPen pen = outline(qMax<qreal>(1.2, size * 0.08));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre.x() - size * 0.22, centre.y() - size * 0.08, size * 0.44, size * 0.3), 200 * 16, 140 * 16);
    painter.restore();
}

QPainterPath Cartoon::textPath(const QRectF &rect, const QString &text, qreal pixelSize)
{
    QPainterPath path;
    path.addText(0, 0, font(pixelSize), text);
    const QRectF bounds = path.boundingRect();
    return path.translated(rect.center() - bounds.center());
}

void Cartoon::text(QPainter &painter, const QRectF &rect, const QString &text, qreal pixelSize,
                   const QColor &fill, const QColor &edge, qreal edgeWidth)
{
    const QPainterPath path = textPath(rect, text, pixelSize);
    painter.save();
    QPen pen(edge, edgeWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(path);
    painter.restore();
}

} // namespace kivora
