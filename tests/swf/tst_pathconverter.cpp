#include "tools/swf/pathconverter.h"
#include "tools/swf/shapebuilder.h"
#include "tests/swf/shapedecoder.h"

#include <QPainterPath>
#include <QTransform>

#include <gtest/gtest.h>

#include <cmath>

namespace kivora::swf {
namespace {

QPointF cubicAt(QPointF p0, QPointF c1, QPointF c2, QPointF p3, double t)
{
    const double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t * p3;
}

QPointF quadAt(QPointF p0, QPointF c, QPointF p1, double t)
{
    const double u = 1 - t;
    return u * u * p0 + 2 * u * t * c + t * t * p1;
}

struct CubicCase {
    const char *name;
    QPointF p0, c1, c2, p3;
    int minPieces;
    int maxPieces;
};

class CubicSplit : public ::testing::TestWithParam<CubicCase> {};

TEST_P(CubicSplit, StaysOnTheCurveWithinTheErrorBound)
{
    const CubicCase c = GetParam();
    const double tolerance = 2.0;
    const auto pieces = cubicToQuadratics(c.p0, c.c1, c.c2, c.p3, tolerance);
    ASSERT_GE(static_cast<int>(pieces.size()), c.minPieces);
    ASSERT_LE(static_cast<int>(pieces.size()), c.maxPieces);

    const double n = static_cast<double>(pieces.size());
    const QPointF d = c.p3 - 3.0 * c.c2 + 3.0 * c.c1 - c.p0;
    const double bound = std::sqrt(3.0) / 36.0 * std::hypot(d.x(), d.y()) / (n * n * n) + 1e-9;
    QPointF start = c.p0;
    for (std::size_t j = 0; j < pieces.size(); ++j) {
        for (int k = 0; k <= 16; ++k) {
            const double s = k / 16.0;
            const QPointF onQuad = quadAt(start, pieces[j].control, pieces[j].end, s);
            const QPointF onCubic = cubicAt(c.p0, c.c1, c.c2, c.p3, (static_cast<double>(j) + s) / n);
            const QPointF gap = onQuad - onCubic;
            EXPECT_LE(std::hypot(gap.x(), gap.y()), bound) << "piece " << j << " at " << s;
        }
        start = pieces[j].end;
    }
    EXPECT_NEAR(start.x(), c.p3.x(), 1e-9);
    EXPECT_NEAR(start.y(), c.p3.y(), 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CubicSplit,
    ::testing::Values(
        // Degree-elevated quadratic (control 300,600): one exact piece.
        CubicCase{"elevatedQuadratic", {0, 0}, {200, 400}, {400, 400}, {600, 0}, 1, 1},
        CubicCase{"straight", {0, 0}, {100, 100}, {200, 200}, {300, 300}, 1, 1},
        CubicCase{"quarterCircle", {1000, 0}, {1000, 552}, {552, 1000}, {0, 1000}, 2, 4},
        CubicCase{"sCurve", {0, 0}, {2000, 0}, {0, 2000}, {2000, 2000}, 4, 4},
        CubicCase{"tinyLoop", {0, 0}, {30, 30}, {-30, 30}, {0, 0}, 1, 2}),
    [](const ::testing::TestParamInfo<CubicCase> &info) { return std::string(info.param.name); });

TEST(AppendPainterPath, GivesClosedContoursInsideTheMappedBounds)
{
    QPainterPath path;
    path.addRect(0, 0, 100, 50);       // lines
    path.addEllipse(10, 10, 30, 20);   // cubics, a hole under even-odd
    QTransform toTwips;
    toTwips.scale(20, 20);

    ShapeBuilder shape;
    appendPainterPath(shape, path, toTwips);
    const Bytes body = shape.defineShape3Body(7, Rgba{1, 2, 3, 4});
    const test::DecodedShape decoded = test::decodeDefineShape3(body, 0, body.size());
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.shapeId, 7);
    EXPECT_EQ(decoded.moves, 2);
    EXPECT_EQ(decoded.openContours, 0);
    EXPECT_GE(decoded.curves, 4);
    EXPECT_EQ(decoded.reach.xMin, 0);
    EXPECT_EQ(decoded.reach.xMax, 2000);
    EXPECT_EQ(decoded.reach.yMin, 0);
    EXPECT_EQ(decoded.reach.yMax, 1000);
    EXPECT_EQ(decoded.bounds.xMax, 2000);
}

TEST(ShapeBuilder, ClosesOpenContoursAndDropsEmptyOnes)
{
    ShapeBuilder shape;
    shape.moveTo(5, 5); // nothing drawn from here
    shape.moveTo(0, 0);
    shape.lineTo(100, 0);
    shape.quadTo(100, 0, 100, 100); // control on the pen: becomes a line
    shape.moveTo(300, 300);
    shape.quadTo(350, 250, 400, 300);
    const Bytes body = shape.defineShape3Body(1, Rgba{});
    const test::DecodedShape decoded = test::decodeDefineShape3(body, 0, body.size());
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.moves, 2);
    EXPECT_EQ(decoded.openContours, 0);
    EXPECT_EQ(decoded.curves, 1);
    EXPECT_EQ(decoded.edges, 5); // 2 lines + closing line, 1 curve + closing line
}

} // namespace
} // namespace kivora::swf
