#include "tools/swf/pathconverter.h"

#include "tools/swf/shapebuilder.h"

#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace kivora::swf {

namespace {

QPointF lerp(QPointF a, QPointF b, double t)
{
    return a + (b - a) * t;
}

double length(QPointF p)
{
    return std::hypot(p.x(), p.y());
}

// One quadratic through the cubic's ends whose control point is the mean of
// the two tangent intersections; exact for cubics that are quadratics.
QuadSegment quadraticOf(QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    return {(3.0 * (c1 + c2) - p0 - p3) / 4.0, p3};
}

} // namespace

std::vector<QuadSegment> cubicToQuadratics(QPointF p0, QPointF c1, QPointF c2, QPointF p3, double tolerance)
{
    // The midpoint approximation errs by at most sqrt(3)/36 times the third
    // difference, which shrinks with the cube of the piece count.
    const double thirdDifference = length(p3 - 3.0 * c2 + 3.0 * c1 - p0);
    const double error = std::sqrt(3.0) / 36.0 * thirdDifference;
    int pieces = 1;
    while (pieces < 4 && error / (pieces * pieces * pieces) > tolerance)
        ++pieces;

    std::vector<QuadSegment> result;
    result.reserve(static_cast<std::size_t>(pieces));
    QPointF a = p0;
    QPointF b = c1;
    QPointF c = c2;
    const QPointF d = p3;
    for (int remaining = pieces; remaining > 1; --remaining) {
        // Split off the first 1/remaining of what is left (de Casteljau).
        const double t = 1.0 / remaining;
        const QPointF ab = lerp(a, b, t);
        const QPointF bc = lerp(b, c, t);
        const QPointF cd = lerp(c, d, t);
        const QPointF abc = lerp(ab, bc, t);
        const QPointF bcd = lerp(bc, cd, t);
        const QPointF split = lerp(abc, bcd, t);
        result.push_back(quadraticOf(a, ab, abc, split));
        a = split;
        b = bcd;
        c = cd;
    }
    result.push_back(quadraticOf(a, b, c, d));
    return result;
}

void appendPainterPath(ShapeBuilder &shape, const QPainterPath &path, const QTransform &toTwips)
{
    constexpr double toleranceTwips = 2.0;
    QPointF pen;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QPointF point = toTwips.map(QPointF(element.x, element.y));
        switch (element.type) {
        case QPainterPath::MoveToElement:
            shape.moveTo(point.x(), point.y());
            pen = point;
            break;
        case QPainterPath::LineToElement:
            shape.lineTo(point.x(), point.y());
            pen = point;
            break;
        case QPainterPath::CurveToElement: {
            if (i + 2 >= path.elementCount())
                return; // a truncated curve cannot come from Qt; stop rather than misread
            const QPointF control2 = toTwips.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
            const QPointF end = toTwips.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
            for (const QuadSegment &segment : cubicToQuadratics(pen, point, control2, end, toleranceTwips))
                shape.quadTo(segment.control.x(), segment.control.y(), segment.end.x(), segment.end.y());
            pen = end;
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    shape.closeContour();
}

} // namespace kivora::swf
