#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

namespace kivora {

// Drawing vocabulary shared by every picture: thick dark outlines, flat bright
// fills and a few recurring props, so that all the artwork looks like one book.
class Cartoon
{
public:
    static QColor ink();
    static QPen outline(qreal width = 2.0);

    // Loads the bold CJK face; returns false when no CJK family could be found.
    static bool loadFonts();
    static QFont font(qreal pixelSize);

    static void shape(QPainter &painter, const QPainterPath &path, const QBrush &fill, qreal width = 2.0);
    static void ellipse(QPainter &painter, QPointF centre, qreal rx, qreal ry, const QBrush &fill, qreal width = 2.0);
    static void box(QPainter &painter, const QRectF &rect, qreal radius, const QBrush &fill, qreal width = 2.0);
    static void shine(QPainter &painter, const QRectF &rect, int alpha = 150);
    static void shadow(QPainter &painter, QPointF centre, qreal rx, qreal ry);

    static QPainterPath star(QPointF centre, qreal outer, qreal inner, int points = 5);
    static QPainterPath cloud(const QRectF &rect);
    static QPainterPath puzzlePiece(const QRectF &rect);

    static void note(QPainter &painter, QPointF head, qreal size, const QColor &colour, bool twin);
    static void palmTree(QPainter &painter, QPointF base, qreal height);
    static void roundTree(QPainter &painter, QPointF base, qreal size, const QColor &leaves);
    static void flower(QPainter &painter, QPointF centre, qreal size, const QColor &petals);
    static void face(QPainter &painter, QPointF centre, qreal size);

    // Text drawn as an outlined path, centred in rect.
    static void text(QPainter &painter, const QRectF &rect, const QString &text, qreal pixelSize,
                     const QColor &fill, const QColor &edge, qreal edgeWidth);
    static QPainterPath textPath(const QRectF &rect, const QString &text, qreal pixelSize);

private:
    static QString s_family;
};

} // namespace kivora
