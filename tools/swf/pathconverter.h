#pragma once

#include <QPointF>

#include <vector>

class QPainterPath;
class QTransform;

namespace kivora::swf {

class ShapeBuilder;

struct QuadSegment {
    QPointF control;
    QPointF end;
};

// Approximates a cubic Bézier by 1 to 4 quadratics of equal parameter span,
// as many as keep the error near `tolerance` (same units as the points).
std::vector<QuadSegment> cubicToQuadratics(QPointF start, QPointF control1, QPointF control2, QPointF end,
                                           double tolerance);

// Appends the path's contours, mapped through `toTwips`, to the shape.
void appendPainterPath(ShapeBuilder &shape, const QPainterPath &path, const QTransform &toTwips);

} // namespace kivora::swf
